#include "platform/ui/Dialogs.h"

#include "platform/ui/Control.h"
#include "platform/ui/Form.h"
#include "platform/ui/Text.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <vector>

namespace ui {

namespace {

IDialogs* installed = nullptr;

QWidget* OwnerWidget(const TForm* owner)
{
    if (owner != nullptr)
        return const_cast<TForm*>(owner);
    return QApplication::activeWindow();
}

// "Soubory CSV|*.CSV|Vše|*.*" -> "Soubory CSV (*.CSV);;Vše (*.*)"
QString QtFilter(const std::string& filter)
{
    QStringList parts = Q(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << parts[i] + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return out.join(QStringLiteral(";;"));
}

} // namespace

IDialogs& Dialogs()
{
    static QtDialogs real;
    return installed != nullptr ? *installed : real;
}

IDialogs* SetDialogs(IDialogs* dialogs)
{
    IDialogs* previous = installed;
    installed = dialogs;
    return previous;
}

int QtDialogs::MessageBox(const MessageRequest& request)
{
    detail::Parent(nullptr);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (request.Icon()) {
    case MB_ICONERROR: icon = QMessageBox::Critical; break;
    case MB_ICONQUESTION: icon = QMessageBox::Question; break;
    case MB_ICONWARNING: icon = QMessageBox::Warning; break;
    case MB_ICONINFORMATION: icon = QMessageBox::Information; break;
    default: break;
    }
    QMessageBox box(icon, Q(request.Caption), Q(request.Text), QMessageBox::NoButton, OwnerWidget(request.Owner));
    struct Choice {
        const char* text;
        QMessageBox::ButtonRole role;
        int id;
    };
    std::vector<Choice> choices;
    switch (request.Buttons()) {
    case MB_OKCANCEL: choices = {{"OK", QMessageBox::AcceptRole, IDOK}, {"Storno", QMessageBox::RejectRole, IDCANCEL}}; break;
    case MB_ABORTRETRYIGNORE:
        choices = {{"Přerušit", QMessageBox::RejectRole, IDABORT}, {"Opakovat", QMessageBox::AcceptRole, IDRETRY},
                   {"Ignorovat", QMessageBox::AcceptRole, IDIGNORE}};
        break;
    case MB_YESNOCANCEL:
        choices = {{"Ano", QMessageBox::YesRole, IDYES}, {"Ne", QMessageBox::NoRole, IDNO},
                   {"Storno", QMessageBox::RejectRole, IDCANCEL}};
        break;
    case MB_YESNO: choices = {{"Ano", QMessageBox::YesRole, IDYES}, {"Ne", QMessageBox::NoRole, IDNO}}; break;
    case MB_RETRYCANCEL:
        choices = {{"Opakovat", QMessageBox::AcceptRole, IDRETRY}, {"Storno", QMessageBox::RejectRole, IDCANCEL}};
        break;
    default: choices = {{"OK", QMessageBox::AcceptRole, IDOK}}; break;
    }
    std::vector<QPushButton*> buttons;
    for (const Choice& c : choices)
        buttons.push_back(box.addButton(Q(c.text), c.role));
    const std::size_t defaultIndex = static_cast<std::size_t>((request.Flags & MB_DEFMASK) >> 8);
    box.setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0]);
    // Escape: Storno when there is one, else No for a question, else the only button.
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].id == IDCANCEL || (choices[i].id == IDNO && request.Buttons() == MB_YESNO) ||
            choices.size() == 1)
            box.setEscapeButton(buttons[i]);
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i])
            return choices[i].id;
    return request.Buttons() == MB_OK ? IDOK : IDCANCEL;
}

std::optional<std::string> QtDialogs::InputBox(const InputRequest& request)
{
    detail::Parent(nullptr);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(Q(request.Caption));
    dialog.setLabelText(Q(request.Prompt));
    dialog.setTextValue(Q(request.Default));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Storno"));
    dialog.setTextEchoMode(request.Password ? QLineEdit::Password : QLineEdit::Normal);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return S(dialog.textValue());
}

std::optional<std::string> QtDialogs::OpenFile(const OpenFileRequest& request)
{
    detail::Parent(nullptr);
    QFileDialog dialog(QApplication::activeWindow(), Q(request.Title), Q(request.InitialDir), QtFilter(request.Filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.DefaultExt.empty()) {
        QString ext = Q(request.DefaultExt);
        ext.remove(QStringLiteral("*.")).remove(QLatin1Char('.'));
        dialog.setDefaultSuffix(ext);
    }
    if (!request.FileName.empty())
        dialog.selectFile(Q(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return S(dialog.selectedFiles().first());
}

TModalResult QtDialogs::RunModal(TForm& form)
{
    return form.ExecModal();
}

bool QtDialogs::ShowHelp(const std::string& file, const std::string& topic)
{
    detail::Parent(nullptr);
    // The help document is HTML beside the named file (same name, .html or .htm).
    std::filesystem::path named(file);
    std::filesystem::path document;
    std::error_code ec;
    for (const char* ext : {".html", ".htm"}) {
        std::filesystem::path candidate = named;
        candidate.replace_extension(ext);
        if (std::filesystem::is_regular_file(candidate, ec)) {
            document = candidate;
            break;
        }
    }
    if (document.empty() && std::filesystem::is_regular_file(named, ec))
        document = named;
    if (document.empty())
        return false;
    // Deleted when the user closes it; a viewer still open at the end is left to the process's
    // end (destroying a widget after the application object is gone would crash).
    static QPointer<QTextBrowser> viewer;
    if (!viewer) {
        viewer = new QTextBrowser();
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setWindowTitle(Q("Nápověda"));
        viewer->resize(640, 520);
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(document.string()));
    if (!topic.empty())
        url.setFragment(Q(topic));
    viewer->setSource(url);
    viewer->show();
    viewer->raise();
    return true;
}

int MessageBox(const TForm* owner, const std::string& text, const std::string& caption, int flags)
{
    return Dialogs().MessageBox({text, caption, flags, owner});
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value, bool password)
{
    auto answer = Dialogs().InputBox({caption, prompt, value, password});
    if (!answer)
        return false;
    value = *answer;
    return true;
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue)
{
    auto answer = Dialogs().InputBox({caption, prompt, defaultValue, false});
    return answer ? *answer : defaultValue;
}

bool TOpenDialog::Execute()
{
    auto answer = Dialogs().OpenFile({Title, Filter, DefaultExt, InitialDir, FileName, FileMustExist});
    if (!answer)
        return false;
    FileName = *answer;
    return true;
}

} // namespace ui
