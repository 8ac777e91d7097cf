#include "platform/ui/FileControls.h"

#include "platform/ui/Application.h"
#include "platform/ui/CzechOrder.h"
#include "platform/ui/Text.h"

#include <QSignalBlocker>
#include <QStorageInfo>

#include <algorithm>
#include <cctype>

namespace ui {

namespace fs = std::filesystem;

namespace {

// Wildcard match ('*' any run, '?' one character), ASCII letter case ignored.
bool WildcardMatch(std::string_view name, std::string_view pattern)
{
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    auto eq = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || eq(pattern[p], name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool MatchesMask(const std::string& name, const std::string& mask)
{
    std::size_t start = 0;
    while (start <= mask.size()) {
        const std::size_t end = mask.find(';', start);
        std::string one = mask.substr(start, end == std::string::npos ? std::string::npos : end - start);
        one.erase(0, one.find_first_not_of(' '));
        one.erase(one.find_last_not_of(' ') + 1);
        // "*.*" means every file, also one without a dot.
        if (one == "*.*" || one == "*" || (!one.empty() && WildcardMatch(name, one)))
            return true;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return false;
}

} // namespace

TFileListBox::TFileListBox(QWidget* parent) : QListWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    std::error_code ec;
    directory_ = fs::current_path(ec);
    connect(this, &QListWidget::itemClicked, this, [this] {
        if (OnChange)
            Application.RunHandler([this] { OnChange(this); });
    });
    Update();
}

void TFileListBox::SetDirectory(const fs::path& folder)
{
    directory_ = folder;
    Update();
}

void TFileListBox::SetMask(const std::string& mask)
{
    mask_ = mask;
    Update();
}

void TFileListBox::Update()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        const std::string name = it->path().filename().string();
        if (MatchesMask(name, mask_))
            names.push_back(name);
    }
    SortCzech(names);
    const QSignalBlocker block(this);
    clear();
    for (const std::string& name : names)
        addItem(Q(name));
    setCurrentRow(-1);
}

std::vector<std::string> TFileListBox::Items() const
{
    std::vector<std::string> items;
    for (int i = 0; i < count(); ++i)
        items.push_back(S(item(i)->text()));
    return items;
}

int TFileListBox::ItemIndex() const
{
    return currentRow();
}

void TFileListBox::SetItemIndex(int index)
{
    const QSignalBlocker block(this);
    setCurrentRow(index >= 0 && index < count() ? index : -1);
}

std::string TFileListBox::FileName() const
{
    const int row = currentRow();
    if (row < 0 || row >= count())
        return {};
    return (directory_ / S(item(row)->text())).string();
}

TDirectoryListBox::TDirectoryListBox(QWidget* parent)
    : QListWidget(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    std::error_code ec;
    directory_ = fs::current_path(ec);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { Opened(item); });
    Update();
}

void TDirectoryListBox::SetDirectory(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw EFolderError("Složka " + folder.string() + " neexistuje.");
    fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    if (absolute.has_filename() == false && absolute != absolute.root_path())
        absolute = absolute.parent_path();
    directory_ = absolute;
    Update();
    if (OnChange)
        OnChange(this);
}

void TDirectoryListBox::Update()
{
    entries_.clear();
    const QSignalBlocker block(this);
    clear();
    // The ancestors from the root down to the folder itself, then its subfolders.
    std::vector<fs::path> chain;
    for (fs::path p = directory_; !p.empty(); p = p.parent_path()) {
        chain.push_back(p);
        if (p == p.root_path())
            break;
    }
    std::reverse(chain.begin(), chain.end());
    int depth = 0;
    for (const fs::path& p : chain) {
        const std::string label = p == p.root_path() ? p.string() : p.filename().string();
        addItem(QString(depth * 2, QLatin1Char(' ')) + Q(label));
        entries_.push_back(p);
        ++depth;
    }
    const int current = count() - 1;
    std::vector<std::string> subfolders;
    std::error_code ec;
    for (fs::directory_iterator it(directory_, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            subfolders.push_back(it->path().filename().string());
    }
    SortCzech(subfolders);
    for (const std::string& name : subfolders) {
        addItem(QString(depth * 2, QLatin1Char(' ')) + Q(name));
        entries_.push_back(directory_ / name);
    }
    setCurrentRow(current);
    if (fileList_ != nullptr)
        fileList_->SetDirectory(directory_);
}

void TDirectoryListBox::SetFileList(TFileListBox* list)
{
    fileList_ = list;
    if (fileList_ != nullptr)
        fileList_->SetDirectory(directory_);
}

void TDirectoryListBox::Opened(QListWidgetItem* item)
{
    const int row = this->row(item);
    if (row < 0 || row >= static_cast<int>(entries_.size()))
        return;
    const fs::path target = entries_[static_cast<std::size_t>(row)];
    Application.RunHandler([this, target] { SetDirectory(target); });
}

TDriveComboBox::TDriveComboBox(QWidget* parent) : QComboBox(detail::Parent(parent)), TControl(static_cast<QWidget&>(*this))
{
    roots_.push_back("/");
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const std::string root = S(volume.rootPath());
        // The root, and the places where removable media and other disks are mounted.
        if (root.rfind("/media/", 0) == 0 || root.rfind("/mnt/", 0) == 0 || root.rfind("/run/media/", 0) == 0)
            roots_.push_back(root);
    }
    for (const fs::path& root : roots_)
        addItem(Q(root.string()));
    setCurrentIndex(0);
    connect(this, &QComboBox::activated, this, [this](int index) { UserChose(index); });
}

fs::path TDriveComboBox::Drive() const
{
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(roots_.size()) ? roots_[static_cast<std::size_t>(index)] : fs::path("/");
}

void TDriveComboBox::SetDrive(const fs::path& root)
{
    for (std::size_t i = 0; i < roots_.size(); ++i)
        if (roots_[i] == root) {
            const QSignalBlocker block(this);
            setCurrentIndex(static_cast<int>(i));
        }
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list)
{
    dirList_ = list;
}

void TDriveComboBox::UserChose(int index)
{
    if (index < 0 || index >= static_cast<int>(roots_.size()))
        return;
    Application.RunHandler([this, index] {
        if (dirList_ != nullptr)
            dirList_->SetDirectory(roots_[static_cast<std::size_t>(index)]);
        if (OnChange)
            OnChange(this);
    });
}

} // namespace ui
