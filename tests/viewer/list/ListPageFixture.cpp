#include "tests/viewer/list/ListPageFixture.h"

#include "skinctl/CCtrlButtonEx.h"
#include "skinctl/CCtrlSkinList.h"
#include "tests/support/TempFolder.h"

#include <QFile>

namespace tachy::test {

namespace {

const QString kSkin = QStringLiteral(TACHY_DATA_DIR "/skin");

} // namespace

std::intptr_t RecordingTarget::command(unsigned message, std::uintptr_t code,
                                       std::intptr_t argument) {
    {
        const std::lock_guard lock(m_mutex);
        m_sent.push_back({message, code, argument});
    }
    if (reaction) {
        reaction(code, argument);
    }
    return 1;
}

std::vector<SentCommand> RecordingTarget::sent() const {
    const std::lock_guard lock(m_mutex);
    return m_sent;
}

void RecordingTarget::clear() {
    const std::lock_guard lock(m_mutex);
    m_sent.clear();
}

LoadedSkin::LoadedSkin(const QString& positionFile, const QString& languageFile) {
    images.LoadImageFile(kSkin, kSkin + "/images.ini");
    positions.LoadInfo(kSkin, positionFile);
    language.LoadTextInfo(languageFile);
}

QString languageFile(const char* folder, const char* file) {
    return QStringLiteral(TACHY_DATA_DIR "/lang/%1/%2").arg(folder, file);
}

LoadedSkin& defaultSkin() {
    static LoadedSkin skin(kSkin + "/position.ini", languageFile("ENG", "lang_eng.ini"));
    return skin;
}

LoadedSkin& skinWithoutParking() {
    static const TempFolder folder;
    static LoadedSkin skin = [] {
        QFile original(kSkin + "/position.ini");
        EXPECT_TRUE(original.open(QIODevice::ReadOnly));
        QByteArray text = original.readAll();
        EXPECT_TRUE(text.contains("[List Parking]"));
        text.replace("[List Parking]", "[Unused Parking]");
        const QString path = QString::fromStdString((folder.path() / "position.ini").string());
        QFile changed(path);
        EXPECT_TRUE(changed.open(QIODevice::WriteOnly));
        changed.write(text);
        changed.close();
        return LoadedSkin(path, languageFile("ENG", "lang_eng.ini"));
    }();
    return skin;
}

CCtrlSkinList& listOf(CTabList& page) {
    auto* list = page.findChild<CCtrlSkinList*>(QString::number(viewer::kListControlId));
    EXPECT_NE(list, nullptr);
    return *list;
}

CCtrlButtonEx& buttonOf(CTabList& page, int id) {
    auto* button = page.findChild<CCtrlButtonEx*>(QString::number(id));
    EXPECT_NE(button, nullptr) << id;
    return *button;
}

void loadEntries(CTabList& page, const std::vector<CTimeList>& entries) {
    page.OnLoadStart();
    for (const CTimeList& entry : entries) {
        page.AddEntry(entry);
    }
    page.OnLoadFinished();
    page.OnRebuild();
}

} // namespace tachy::test
