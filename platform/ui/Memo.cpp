#include "platform/ui/Memo.h"

#include "platform/sys/AtomicFile.h"
#include "platform/ui/Application.h"
#include "platform/ui/ColorUtil.h"
#include "platform/ui/RichText.h"
#include "platform/ui/Text.h"

#include <QKeyEvent>
#include <QMimeData>

#include <fstream>
#include <iterator>
#include <sstream>

namespace ui {

TCustomMemo::TCustomMemo(QWidget* parent) : QPlainTextEdit(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { TextChangedByQt(); });
}

void TCustomMemo::TextChangedByQt()
{
    const QString now = toPlainText();
    if (now == lastText_)
        return; // formatting only
    lastText_ = now;
    if (inCodeChange_ > 0 || !OnChange)
        return;
    Application.RunHandler([this] { OnChange(this); });
}

std::string TCustomMemo::Text() const
{
    return S(toPlainText());
}

void TCustomMemo::SetText(const std::string& text)
{
    const QString q = Q(text);
    if (q == toPlainText())
        return;
    ++inCodeChange_;
    setPlainText(q);
    --inCodeChange_;
    if (OnChange)
        OnChange(this);
}

std::vector<std::string> TCustomMemo::Lines() const
{
    std::vector<std::string> lines;
    const QString text = toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(S(line));
    return lines;
}

void TCustomMemo::SetLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n" : "") + lines[i];
    SetText(text);
}

void TCustomMemo::AddLine(const std::string& line)
{
    const std::string text = Text();
    SetText(text.empty() ? line : text + "\n" + line);
}

void TCustomMemo::keyPressEvent(QKeyEvent* event)
{
    // The typing limit: characters that would pass it are not taken.
    if (maxLength_ > 0 && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        const qsizetype selected = textCursor().selectedText().size();
        if (toPlainText().size() - selected + event->text().size() > maxLength_)
            return;
    }
    if (!WantReturns && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TCustomMemo::insertFromMimeData(const QMimeData* source)
{
    if (maxLength_ <= 0 || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const qsizetype room = maxLength_ - (toPlainText().size() - textCursor().selectedText().size());
    if (room <= 0)
        return;
    textCursor().insertText(source->text().left(room));
}

void TCustomMemo::ApplyColors()
{
    PaintInput(*this, Color(), FontColor());
}

void TRichEdit::SaveToFile(const std::filesystem::path& path) const
{
    const std::string document = TextToRtf(Text());
    const sys::Status status = sys::WriteFileAtomically(path, document, 0644);
    if (!status)
        throw EFileError("Nelze vytvořit soubor " + path.string() + ".");
}

void TRichEdit::LoadFromFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw EFileError("Nelze otevřít soubor " + path.string() + ".");
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SetText(RichEditFileText(bytes));
}

} // namespace ui
