// MensoraAddIn: the seven worksheet functions as a LibreOffice Calc add-in (a UNO component).
#pragma once

#include <mutex>

#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/lang/XServiceName.hpp>
#include <com/sun/star/sheet/XAddIn.hpp>
#include <cppuhelper/implbase4.hxx>
#include <org/mensora/calc/XMensoraFunctions.hpp>

#include "calc/addin_names.h"

namespace mensora_calc {

// Each worksheet function hands its arguments, as UTF-8, to what the add-in for the Windows host
// answers, and gives the answer Calc's form: a double, a string, or one row [double, string].
// A unit expression that cannot be used gives the engine's message as the cell's text. Nothing
// but a RuntimeException leaves a method (when the answer cannot be built at all, as when the
// heap is exhausted), which Calc shows as #VALUE!. The descriptions come from the same texts as
// the Windows add-in's registration. Calc may call from any thread: the only state, the locale
// Calc sets, is guarded.
// The services the add-in offers: Calc's add-in service and kServiceName.
com::sun::star::uno::Sequence<rtl::OUString> SupportedServiceNames();

class MensoraAddIn
    : public cppu::WeakImplHelper4<org::mensora::calc::XMensoraFunctions,
                                  com::sun::star::sheet::XAddIn,
                                  com::sun::star::lang::XServiceName,
                                  com::sun::star::lang::XServiceInfo> {
 public:
  // XMensoraFunctions
  com::sun::star::uno::Any SAL_CALL Mensora(double Val, const rtl::OUString& InUnits,
                                            const rtl::OUString& OutUnits) override;
  com::sun::star::uno::Any SAL_CALL ToMetric(double Val, const rtl::OUString& InUnits) override;
  com::sun::star::uno::Any SAL_CALL FromMetric(double Val,
                                               const rtl::OUString& OutUnits) override;
  rtl::OUString SAL_CALL ShowMetric(const rtl::OUString& InUnits) override;
  rtl::OUString SAL_CALL ShowCommonMetric(const rtl::OUString& InUnits) override;
  com::sun::star::uno::Sequence<com::sun::star::uno::Sequence<com::sun::star::uno::Any>>
      SAL_CALL Grav() override;
  com::sun::star::uno::Sequence<com::sun::star::uno::Sequence<com::sun::star::uno::Any>>
      SAL_CALL GasConst() override;

  // XAddIn: a function's programmatic and display names are the same, its name; an unknown
  // function or argument gives the empty text.
  rtl::OUString SAL_CALL getProgrammaticFuntionName(const rtl::OUString& display_name) override;
  rtl::OUString SAL_CALL getDisplayFunctionName(const rtl::OUString& name) override;
  rtl::OUString SAL_CALL getFunctionDescription(const rtl::OUString& name) override;
  rtl::OUString SAL_CALL getDisplayArgumentName(const rtl::OUString& name,
                                                sal_Int32 argument) override;
  rtl::OUString SAL_CALL getArgumentDescription(const rtl::OUString& name,
                                                sal_Int32 argument) override;
  rtl::OUString SAL_CALL getProgrammaticCategoryName(const rtl::OUString& name) override;
  rtl::OUString SAL_CALL getDisplayCategoryName(const rtl::OUString& name) override;

  // XLocalizable: the texts are English whatever the locale; the locale is kept for Calc.
  void SAL_CALL setLocale(const com::sun::star::lang::Locale& locale) override;
  com::sun::star::lang::Locale SAL_CALL getLocale() override;

  // XServiceName
  rtl::OUString SAL_CALL getServiceName() override;

  // XServiceInfo: the add-in service of Calc and kServiceName.
  rtl::OUString SAL_CALL getImplementationName() override;
  sal_Bool SAL_CALL supportsService(const rtl::OUString& service) override;
  com::sun::star::uno::Sequence<rtl::OUString> SAL_CALL getSupportedServiceNames() override;

 private:
  std::mutex locale_mutex_;
  com::sun::star::lang::Locale locale_;
};

}  // namespace mensora_calc
