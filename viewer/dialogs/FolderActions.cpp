#include "viewer/dialogs/FolderActions.h"

#include "util/CUtilPath.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QDesktopServices>
#include <QUrl>

#include <string>

namespace viewer::dialogs {

QString FolderActions::Choose(QWidget* parent, const CExLangManager& language,
                              const QString& start) {
    CUtilPath picker;
    std::string chosen;
    const auto text = [&](const char* key) {
        return DialogTexts::Text(language, key).toStdString();
    };
    if (picker.SelectFolder(parent, start.toStdString(), text("main open folder title"),
                            text("main open folder message"), chosen, text("common ok"),
                            text("common cancel"), 0) == 0) {
        return {};
    }
    return QString::fromStdString(chosen);
}

bool FolderActions::Open(const QString& folder) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

} // namespace viewer::dialogs
