#include "util/CUtilPath.h"

#include "platform/folders/SpecialFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>
#include <filesystem>

namespace {

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}

// Runs a prepared dialog; the chosen path goes to `result`.
int runDialog(QFileDialog& dialog, std::string& result) {
    if (dialog.exec() != QDialog::Accepted) {
        return 0;
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) {
        return 0;
    }
    result = chosen.front().toStdString();
    return 1;
}

QString startFolder(const std::string& initialFolder) {
    std::error_code error;
    if (!initialFolder.empty() && std::filesystem::is_directory(initialFolder, error)) {
        return toQt(initialFolder);
    }
    return toQt(tachy::SpecialFolder::path(tachy::SpecialFolder::Kind::MyComputer).string());
}

} // namespace

int CUtilPath::SelectFolder(QWidget* owner, const std::string& initialFolder,
                            const std::string& windowTitle, const std::string& prompt,
                            std::string& result, const std::string& okText,
                            const std::string& cancelText, int allowNewFolder) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return 0;
    }
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Without the new-folder permission the dialog is read-only, which removes that button.
    dialog.setOption(QFileDialog::ReadOnly, allowNewFolder == 0);
    dialog.setDirectory(startFolder(initialFolder));
    if (!windowTitle.empty()) {
        dialog.setWindowTitle(toQt(windowTitle));
    } else if (!prompt.empty()) {
        dialog.setWindowTitle(toQt(prompt));
    }
    if (!prompt.empty()) {
        dialog.setLabelText(QFileDialog::FileName, toQt(prompt));
    }
    if (!okText.empty()) {
        dialog.setLabelText(QFileDialog::Accept, toQt(okText));
    }
    if (!cancelText.empty()) {
        dialog.setLabelText(QFileDialog::Reject, toQt(cancelText));
    }
    return runDialog(dialog, result);
}

int CUtilPath::SelectFolder(QWidget* owner, std::string& result) {
    return SelectFolder(owner, {}, {}, {}, result, {}, {}, 1);
}

int CUtilPath::SelectFolder(QWidget* owner, const std::string& prompt, std::string& result) {
    return SelectFolder(owner, {}, {}, prompt, result, {}, {}, 1);
}

std::string CUtilPath::QtFilter(const std::string& windowsFilter) {
    if (windowsFilter.find('|') == std::string::npos) {
        return windowsFilter;
    }
    const QStringList parts = toQt(windowsFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) {
            break;
        }
        // Qt takes the patterns from the parentheses at the end of each filter.
        QString qtPatterns = patterns;
        qtPatterns.replace(';', ' ');
        filters << description + " (" + qtPatterns + ")";
    }
    return filters.join(";;").toStdString();
}

int CUtilPath::SelectFile(QWidget* owner, const std::string& filter,
                          const std::string& initialFolder, std::string& result,
                          int fileMustExist) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return 0;
    }
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(fileMustExist != 0 ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDirectory(startFolder(initialFolder));
    if (!filter.empty()) {
        dialog.setNameFilter(toQt(QtFilter(filter)));
    }
    return runDialog(dialog, result);
}

int CUtilPath::RemoveAll(const std::string& folder) {
    std::error_code error;
    bool allRemoved = true;
    for (std::filesystem::directory_iterator iterator(folder, error), end;
         !error && iterator != end; iterator.increment(error)) {
        std::error_code entryError;
        if (iterator->is_directory(entryError)) {
            continue;
        }
        if (!std::filesystem::remove(iterator->path(), entryError) || entryError) {
            allRemoved = false;
        }
    }
    return (!error && allRemoved) ? 1 : 0;
}
