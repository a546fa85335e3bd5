#pragma once
// A program folder (option file with a chosen product block, the suite's skin and languages),
// private user folders and a card folder for the settings program's tests, and a helper that
// answers its message boxes by clicking their real buttons.

#include "setup/CTachySetupApp.h"
#include "setup/CTachySetupDlg.h"
#include "setupfile/ISetupPageModel.h"
#include "tests/support/TempFolder.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

class QTimer;

namespace tachy::test {

// Product blocks of data/_option/option.ini.
constexpr int kSelectFirstPage = 0;  // product 0: CSetupSTMI0
constexpr int kSelectSecondPage = 1; // product 5: CSetupLogOn

constexpr std::uint32_t kEnglish = 1033;
constexpr std::uint32_t kGerman = 1031;
constexpr std::uint32_t kKorean = 1042;

// Answers every settings message box with OK or Cancel by clicking the button that carries the
// language's text, and records each box's text key and button texts.
class MessageAnswerer {
public:
    explicit MessageAnswerer(bool ok);
    ~MessageAnswerer();
    MessageAnswerer(const MessageAnswerer&) = delete;
    MessageAnswerer& operator=(const MessageAnswerer&) = delete;

    void SetButtonTexts(const QString& ok, const QString& cancel);
    const QStringList& Keys() const { return m_keys; }
    const QStringList& Buttons() const { return m_buttons; }
    const QStringList& Texts() const { return m_texts; }

private:
    void Poll();

    bool m_ok;
    QString m_okText = QStringLiteral("OK");
    QString m_cancelText = QStringLiteral("Cancel");
    QStringList m_keys;
    QStringList m_buttons;
    QStringList m_texts;
    std::unique_ptr<QTimer> m_timer;
};

class SetupProgramFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the option file with "Select" = `select` and the stored language.
    void Configure(int select, std::uint32_t languageId = kEnglish);
    // Starts the application object (option file, single instance, language, icon).
    CTachySetupApp& StartApp();
    // The main dialog on the card folder; Setup() is the caller's.
    CTachySetupDlg& MakeDialog();

    std::filesystem::path SettingsFile() const;
    std::filesystem::path WorkFolder() const;
    // A valid settings file for the configured page, with its factory defaults.
    tachy::setupfile::SetupBuffer ValidFile() const;
    void WriteCardFile(const std::vector<std::uint8_t>& bytes) const;
    void WriteCardFile(const tachy::setupfile::SetupBuffer& bytes) const;
    std::vector<std::uint8_t> ReadCardFile() const;
    // The files in the work folder (repair copies).
    std::vector<std::filesystem::path> WorkCopies() const;
    std::unique_ptr<tachy::setupfile::ISetupPageModel> Model() const;
    tachy::setupfile::SetupIdentity Identity() const;

    TempFolder m_root;
    std::filesystem::path m_program;
    std::filesystem::path m_card;
    int m_select = kSelectSecondPage;
    std::unique_ptr<CTachySetupApp> m_app;
    std::unique_ptr<CTachySetupDlg> m_dialog;
};

} // namespace tachy::test
