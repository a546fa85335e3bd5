#pragma once
// The card dialog: the removable cards, OK to open the chosen one, and (for every model but 400
// and 401) a Format button that formats the chosen card while keeping the recorder's settings
// file. The main window pauses playback for the format and opens the card again afterwards.

#include "viewer/appdlg/CardFormatFlow.h"
#include "viewer/dialogs/DialogTexts.h"

#include <QDialog>
#include <QString>
#include <functional>

class CExLangManager;
class CTachyPlayerApp;
class QPushButton;

namespace viewer::appdlg {

class RemovableDriveList;

// What the card dialog asks of the main window around a format.
struct CardDialogHooks {
    // Forward playback pauses; true when it played (command 1080).
    std::function<bool()> pauseForFormat;
    // The format was not confirmed: playback goes on when it was paused (command 1081).
    std::function<void(bool paused)> resumeAfterCancel;
    // The card at this root was formatted: a loaded path on it is opened again (command 1083).
    std::function<void(const QString& root)> formatted;
};

struct CardDialogOptions {
    int productId = 0;
    int formatType = 0; // the option file's "FormatType"
    CardFormatSetup format;

    // The running viewer's: its model, format type and settings-file names from the option
    // file, the settings file kept in the user's work folder while a card is formatted.
    static CardDialogOptions ForViewer(const CTachyPlayerApp& app);
};

class CSelectRemovableDrive : public QDialog {
public:
    CSelectRemovableDrive(const CExLangManager& language, CardDialogOptions options,
                          dialogs::AskUser ask, CardDialogHooks hooks, QWidget* parent);
    ~CSelectRemovableDrive() override;

    // The drive chosen with OK; empty when OK was pressed with no row selected.
    const QString& Drive() const { return m_drive; }
    // The most characters a drive root handed to the main window has.
    static constexpr int kRootLimit = 127;

    RemovableDriveList* List() const { return m_list; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* FormatButton() const { return m_format; }

    // Button 32799: formats the selected card.
    void FormatSelected();

private:
    void OnRefilled();

    const CExLangManager& m_language;
    CardDialogOptions m_options;
    dialogs::AskUser m_ask;
    CardDialogHooks m_hooks;
    QString m_drive;
    RemovableDriveList* m_list = nullptr; // child
    QPushButton* m_ok = nullptr;          // child
    QPushButton* m_format = nullptr;      // child; none for models 400 and 401
};

} // namespace viewer::appdlg
