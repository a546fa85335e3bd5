#pragma once
// Folder and file pickers (Qt dialogs; they need a running QApplication and answer 0 without
// one) and removal of a folder's files.

#include <string>

class QWidget;

class CUtilPath {
public:
    CUtilPath() = default;
    ~CUtilPath() = default;

    // Folder picker starting at `initialFolder`, with the window title, prompt and OK/Cancel
    // texts when given (empty strings leave the defaults). The new-folder button is offered
    // only when allowNewFolder is non-zero. On OK the folder is stored in `result` and the
    // answer is 1; otherwise 0.
    int SelectFolder(QWidget* owner, const std::string& initialFolder,
                     const std::string& windowTitle, const std::string& prompt,
                     std::string& result, const std::string& okText,
                     const std::string& cancelText, int allowNewFolder);
    int SelectFolder(QWidget* owner, std::string& result);
    int SelectFolder(QWidget* owner, const std::string& prompt, std::string& result);

    // Open-file dialog. `filter` uses the Windows form "Text (*.txt)|*.txt|All (*.*)|*.*||"
    // (a Qt filter list with ";;" is accepted too). With fileMustExist non-zero only an
    // existing file can be chosen.
    int SelectFile(QWidget* owner, const std::string& filter, const std::string& initialFolder,
                   std::string& result, int fileMustExist);

    // Deletes every file (not folder) directly inside `folder`; 1 when all were deleted.
    int RemoveAll(const std::string& folder);

    // The Qt name-filter list for a Windows "description|patterns|..." filter.
    static std::string QtFilter(const std::string& windowsFilter);
};
