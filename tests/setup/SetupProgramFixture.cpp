#include "tests/setup/SetupProgramFixture.h"

#include "setupfile/CSetupOption.h"
#include "util/CUtilReg.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

namespace tachy::test {

MessageAnswerer::MessageAnswerer(bool ok) : m_ok(ok), m_timer(std::make_unique<QTimer>()) {
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] { Poll(); });
    m_timer->start(5);
}

MessageAnswerer::~MessageAnswerer() = default;

void MessageAnswerer::SetButtonTexts(const QString& ok, const QString& cancel) {
    m_okText = ok;
    m_cancelText = cancel;
}

void MessageAnswerer::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || box->objectName() != QStringLiteral("setupMessage") ||
        !box->isVisible()) {
        return;
    }
    m_keys.push_back(box->property("textKey").toString());
    m_texts.push_back(box->text());
    QAbstractButton* ok = nullptr;
    QAbstractButton* cancel = nullptr;
    QStringList texts;
    for (QAbstractButton* button : box->buttons()) {
        texts.push_back(button->text());
        if (button->text() == m_okText) {
            ok = button;
        } else if (button->text() == m_cancelText) {
            cancel = button;
        }
    }
    m_buttons.push_back(texts.join(QLatin1Char('|')));
    QAbstractButton* target = (m_ok || cancel == nullptr) ? ok : cancel;
    if (target != nullptr) {
        target->click();
    } else {
        box->reject(); // no button with the language's text: the test sees it in Buttons()
    }
}

void SetupProgramFixture::SetUp() {
    const std::filesystem::path config = m_root.path() / "config";
    const std::filesystem::path runtime = m_root.path() / "runtime";
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("HOME", (m_root.path() / "home").c_str(), 1);
    m_program = m_root.path() / "program";
    m_card = m_root.path() / "card";
    std::filesystem::create_directories(m_program / "_option");
    std::filesystem::create_directories(m_card);
    const std::filesystem::path data = TACHY_DATA_DIR;
    std::filesystem::create_directory_symlink(data / "skin", m_program / "skin");
    std::filesystem::create_directory_symlink(data / "lang", m_program / "lang");
    Configure(kSelectSecondPage);
}

void SetupProgramFixture::TearDown() {
    m_dialog.reset();
    m_app.reset();
}

void SetupProgramFixture::Configure(int select, std::uint32_t languageId) {
    m_select = select;
    std::ifstream in(std::filesystem::path(TACHY_DATA_DIR) / "_option" / "option.ini",
                     std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(m_program / "_option" / "option.ini", std::ios::binary) << std::regex_replace(
        text, std::regex("Select=[0-9]+"), "Select=" + std::to_string(select));
    CUtilReg().WriteRegDWORD("Software\\Tachy Player\\Language", "ID", languageId);
}

CTachySetupApp& SetupProgramFixture::StartApp() {
    m_app = std::make_unique<CTachySetupApp>();
    EXPECT_EQ(m_app->InitInstance(m_program), CTachySetupApp::Start::Ready);
    return *m_app;
}

CTachySetupDlg& SetupProgramFixture::MakeDialog() {
    if (!m_app) {
        StartApp();
    }
    m_dialog = std::make_unique<CTachySetupDlg>(*m_app, m_card);
    return *m_dialog;
}

tachy::setupfile::SetupIdentity SetupProgramFixture::Identity() const {
    tachy::setupfile::CSetupOption option;
    EXPECT_TRUE(option.Load(m_program / "_option"));
    return option.Identity(1252);
}

std::unique_ptr<tachy::setupfile::ISetupPageModel> SetupProgramFixture::Model() const {
    tachy::setupfile::CSetupOption option;
    EXPECT_TRUE(option.Load(m_program / "_option"));
    return tachy::setupfile::ISetupPageModel::Create(option.productId);
}

std::filesystem::path SetupProgramFixture::SettingsFile() const {
    return m_card / "SETUP" / "setting.dat";
}

std::filesystem::path SetupProgramFixture::WorkFolder() const {
    return m_root.path() / "config" / "Tachy Player";
}

tachy::setupfile::SetupBuffer SetupProgramFixture::ValidFile() const {
    tachy::setupfile::SetupBuffer buffer{};
    Model()->NewFileDefaults(buffer, Identity());
    return buffer;
}

void SetupProgramFixture::WriteCardFile(const std::vector<std::uint8_t>& bytes) const {
    std::filesystem::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void SetupProgramFixture::WriteCardFile(const tachy::setupfile::SetupBuffer& bytes) const {
    WriteCardFile(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<std::uint8_t> SetupProgramFixture::ReadCardFile() const {
    const std::string text = readAll(SettingsFile());
    return {text.begin(), text.end()};
}

std::vector<std::filesystem::path> SetupProgramFixture::WorkCopies() const {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(WorkFolder(), error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    return files;
}

} // namespace tachy::test
