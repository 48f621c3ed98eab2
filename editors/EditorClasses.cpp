// The dialogs' published handlers.
#include "kelva/editors/EditorClasses.h"

#include "kelva/dataset/KelvaClasses.h"
#include "kelva/editors/MetaFieldsForm.h"
#include "kelva/editors/ParamsForm.h"
#include "kelva/framework/db/DBClasses.h"
#include "kelva/framework/forms/ControlTypes.h"
#include "kelva/framework/rtl/ClassBuilder.h"

#include <mutex>

namespace kelva {

void RegisterEditorClasses() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    RegisterKelvaClasses();
    RegisterControlClasses();
    using B = TDescriptionForm;
    const TClassInfo* Base =
        TClassBuilder<B>("TDescriptionForm", ClassInfo<TForm>())
            .Method<TNotifyEvent>("FormCreate", TypeInfoNotifyEvent(), &B::FormCreate)
            .Method<TNotifyEvent>("FormShow", TypeInfoNotifyEvent(), &B::FormShow)
            .Method<TCloseQueryEvent>("FormCloseQuery", TypeInfoCloseQueryEvent(),
                                      &B::FormCloseQuery)
            .Method<TDataSetNotifyEvent>("KelvaDS1AfterPost", TypeInfoDataSetNotifyEvent(),
                                         &B::KelvaDS1AfterPost)
            .Method<TNotifyEvent>("BtnNextClick", TypeInfoNotifyEvent(), &B::BtnNextClick)
            .Method<TNotifyEvent>("btnPrevClick", TypeInfoNotifyEvent(), &B::btnPrevClick)
            .Method<TTabChangingEvent>("PageControl1Changing", TypeInfoTabChangingEvent(),
                                       &B::PageControl1Changing)
            .Method<TNotifyEvent>("Button1Click", TypeInfoNotifyEvent(), &B::Button1Click)
            .Register();

    using F = TFrmMetaFields;
    TClassBuilder<F>("TFrmMetaFields", Base)
        .Method<TNotifyEvent>("DBTypeChange", TypeInfoNotifyEvent(), &F::DBTypeChange)
        .Method<TNotifyEvent>("UpdateEcr", TypeInfoNotifyEvent(), &F::UpdateEcr)
        .Method<TDataSetNotifyEvent>("KelvaDS1BeforePost", TypeInfoDataSetNotifyEvent(),
                                     &F::KelvaDS1BeforePost)
        .Method<TDataSetNotifyEvent>("KelvaDS1AfterScroll", TypeInfoDataSetNotifyEvent(),
                                     &F::KelvaDS1AfterScroll)
        .Method<TNotifyEvent>("PageControl1Change", TypeInfoNotifyEvent(), &F::PageControl1Change)
        .Register();

    using P = TfrmKlvParm;
    TClassBuilder<P>("TfrmKlvParm", Base)
        .Method<TNotifyEvent>("DBTypeChange", TypeInfoNotifyEvent(), &P::DBTypeChange)
        .Method<TDataSetNotifyEvent>("KelvaDS1BeforePost", TypeInfoDataSetNotifyEvent(),
                                     &P::KelvaDS1BeforePost)
        .Register();
  });
}

} // namespace kelva
