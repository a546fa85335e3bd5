#pragma once
// The two folder buttons of the snapshot and backup dialogs: choose another target folder with
// the viewer's folder picker, and show the target in the desktop's file manager.

#include <QString>

class CExLangManager;
class QWidget;

namespace viewer::dialogs {

class FolderActions {
public:
    // The folder picker started at `start`; the chosen folder, or an empty text on Cancel.
    static QString Choose(QWidget* parent, const CExLangManager& language, const QString& start);
    // Hands the folder to the desktop (its file manager); false when nothing could take it.
    static bool Open(const QString& folder);
};

} // namespace viewer::dialogs
