#include "platform/FileDialog.h"

#include "platform/Dialog.h"
#include "platform/DialogLanguage_p.h"
#include "platform/TextCodec_p.h"
#include "platform/Wnd_p.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include <vector>

struct CFileDialog::Impl
{
    QPointer<QFileDialog> dialog;
    std::string folder;
    std::string path;
};

CFileDialog::CFileDialog(BOOL openFileDialog, CWnd* parent)
    : d(std::make_unique<Impl>()), m_open(openFileDialog != FALSE), m_parent(parent)
{
}

CFileDialog::~CFileDialog()
{
    if (d->dialog)
        d->dialog->reject();
}

namespace
{
// The NUL-separated pairs as Qt name filters: the description followed by the patterns in
// brackets, which Qt reads; the brackets it adds are hidden again.
QStringList NameFilters(const std::string& filter)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < filter.size())
    {
        const size_t end = filter.find('\0', start);
        const size_t stop = end == std::string::npos ? filter.size() : end;
        if (stop == start)
            break;
        parts.push_back(filter.substr(start, stop - start));
        start = stop + 1;
    }
    QStringList filters;
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
    {
        QString patterns = PlatformDetail::TextFromBytes(parts[i + 1]).replace(';', ' ');
        // "*.*" means every file on Windows, dotless names included.
        patterns.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters << PlatformDetail::TextFromBytes(parts[i]) + QStringLiteral(" (") + patterns + QStringLiteral(")");
    }
    return filters;
}

std::string ToBytes(const QString& text) { return text.toLocal8Bit().toStdString(); }
}

intptr_t CFileDialog::DoModal()
{
    QWidget* parent = m_parent ? m_parent->GetImpl()->widget.data() : nullptr;
    PlatformDetail::FollowUserLanguageInStandardDialogs();
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(m_open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode((m_ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!m_open && !(m_ofn.Flags & OFN_OVERWRITEPROMPT))
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // Without a title of its own the dialog says what it does, as the common dialog does, never
    // the program's name that Qt puts on an untitled window.
    const std::string title =
        !m_ofn.lpstrTitle.empty() ? m_ofn.lpstrTitle : PlatformDetail::DefaultFileDialogTitle(m_open);
    dialog.setWindowTitle(PlatformDetail::TextFromBytes(title));
    const QStringList filters = NameFilters(m_ofn.lpstrFilter);
    if (!filters.isEmpty())
    {
        dialog.setNameFilters(filters);
        const int index = static_cast<int>(m_ofn.nFilterIndex) - 1;
        if (index >= 0 && index < filters.size())
            dialog.selectNameFilter(filters[index]);
    }
    if (!m_ofn.lpstrDefExt.empty())
        dialog.setDefaultSuffix(QString::fromLocal8Bit(m_ofn.lpstrDefExt.c_str()));
    QString initialDir = QString::fromLocal8Bit(m_ofn.lpstrInitialDir.c_str());
    const QString file = QString::fromLocal8Bit(m_ofn.lpstrFile.c_str());
    if (!file.isEmpty() && QDir::isAbsolutePath(file))
        dialog.selectFile(file);
    else
    {
        if (!initialDir.isEmpty() && QDir(initialDir).exists())
            dialog.setDirectory(initialDir);
        if (!file.isEmpty())
            dialog.selectFile(file);
    }
    d->folder = ToBytes(dialog.directory().absolutePath());
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, [this](const QString& folder) {
        d->folder = ToBytes(QDir(folder).absolutePath());
        OnFolderChange();
    });
    d->dialog = &dialog;
    // The dialog reports its first folder as it opens, as the common dialog does.
    OnFolderChange();
    const int result = dialog.exec();
    d->dialog = nullptr;
    // With the details hidden the dialog names the filter without the brackets it was given.
    const QString selected = dialog.selectedNameFilter();
    int index = -1;
    for (int i = 0; i < filters.size() && index < 0; ++i)
        if (filters[i] == selected || filters[i].left(filters[i].lastIndexOf(QStringLiteral(" ("))) == selected)
            index = i;
    if (index >= 0)
        m_ofn.nFilterIndex = static_cast<DWORD>(index + 1);
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return IDCANCEL;
    d->path = ToBytes(dialog.selectedFiles().first());
    m_ofn.lpstrFile = d->path;
    return IDOK;
}

std::string CFileDialog::GetPathName() const { return d->path; }
std::string CFileDialog::GetFolderPath() const { return d->folder; }

void CFileDialog::OnFolderChange() {}

void CFileDialog::SetCaption(const std::string& caption)
{
    if (d->dialog)
        d->dialog->setWindowTitle(PlatformDetail::TextFromBytes(caption));
}
