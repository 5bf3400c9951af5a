// The entry point through which LibreOffice makes the add-in, as the extension's component file
// names it.
#include <com/sun/star/uno/XComponentContext.hpp>
#include <cppuhelper/factory.hxx>
#include <cppuhelper/implementationentry.hxx>
#include <sal/types.h>

#include "calc/calc_addin.h"
#include "xll/barrier.h"

namespace {

namespace css = com::sun::star;

css::uno::Reference<css::uno::XInterface> SAL_CALL
Create(const css::uno::Reference<css::uno::XComponentContext>&) {
  return static_cast<cppu::OWeakObject*>(new mensora_calc::MensoraAddIn);
}

rtl::OUString SAL_CALL ImplementationName() { return mensora_calc::kImplementationName; }

css::uno::Sequence<rtl::OUString> SAL_CALL ServiceNames() {
  return mensora_calc::SupportedServiceNames();
}

const cppu::ImplementationEntry kEntries[] = {
    {Create, ImplementationName, ServiceNames, cppu::createSingleComponentFactory, nullptr, 0},
    {nullptr, nullptr, nullptr, nullptr, nullptr, 0}};

}  // namespace

// The factory of the implementation named implementation_name (a null pointer for any other
// name), with a reference the caller owns. Nothing is thrown: a failure gives a null pointer,
// which LibreOffice reports as a component it cannot load.
extern "C" SAL_DLLPUBLIC_EXPORT void* SAL_CALL component_getFactory(const char* implementation_name,
                                                                    void* service_manager,
                                                                    void* registry_key) {
  return ExceptionBarrier<void*>(nullptr, [&] {
    return cppu::component_getFactoryHelper(implementation_name, service_manager, registry_key,
                                            kEntries);
  });
}
