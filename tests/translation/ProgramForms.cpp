#include "ProgramForms.h"

#include "localisation/IvBinDic.h"
#include "localisation/IvLangDlg.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/ZO_MsgDlgBoxs.h"

namespace {

constexpr MessageButtons kEveryButton = mb::Yes | mb::No | mb::OK | mb::Cancel | mb::Abort | mb::Retry | mb::Ignore |
                                        mb::All | mb::NoToAll | mb::YesToAll | mb::Help;

// A box as the program raises it: the caller hands in a translated message.
ProgramForm Box(const char* name, MessageKind kind, bool hideBox = false) {
    return {QString::fromLatin1(name),
            [kind, hideBox]() -> std::unique_ptr<QWidget> {
                return std::unique_ptr<QWidget>(CreateMessageDialog(
                    TranslateMenuText(QStringLiteral("Lateral movement <> 0 !")), kind, kEveryButton, hideBox));
            },
            false};
}

}  // namespace

const std::vector<ProgramForm>& ProgramForms() {
    static const std::vector<ProgramForm> forms{
        {QStringLiteral("waiting form"), [] { return Make<TFWarten>(); }},
        {QStringLiteral("language dialog"),
         [] { return Make<TIvLanguageDialog>(nullptr, IvBinaryDictionaryGlobal, 0, 0, 0); }},
        Box("warning box", MessageKind::Warning),
        Box("error box", MessageKind::Error),
        Box("information box", MessageKind::Information),
        Box("confirmation box", MessageKind::Confirmation),
        Box("custom box", MessageKind::Custom),
        Box("box with its hide check box", MessageKind::Warning, true),
    };
    return forms;
}
