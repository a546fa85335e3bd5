#pragma once
// The skin's position file: for every element of a window its control identifier, rectangle,
// anchoring and colours, by section name.

#include <QRgb>
#include <QString>

#include <array>
#include <map>
#include <memory>

// One element of the position file. Colours are 0xAARRGGBB.
struct _WIN_POS {
    int id = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int stickToLeft = -1;
    int stickToTop = -1;
    int stickToRight = -1;
    int stickToBottom = -1;
    int HCenter = 0;
    // Entry 0 is the text colour ("ColorText"), entries 1 to 6 are "Color00" to "Color05".
    std::array<QRgb, 7> color{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu,
                              0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
};

class CExWndPos {
public:
    // Buffer, in characters, through which a colour text is read.
    static constexpr std::size_t kColorBufferChars = 32;

    CExWndPos();
    ~CExWndPos();
    CExWndPos(const CExWndPos&) = delete;
    CExWndPos& operator=(const CExWndPos&) = delete;

    // Reads every section of the position file; the folder is not used. Always 1.
    int LoadInfo(const QString& folder, const QString& positionFile);
    // The element of that section, or the default element (rectangle 0, anchors -1, not
    // centred, opaque white). Valid until UnloadInfo().
    const _WIN_POS* GetWinPos(const QString& section) const;
    void UnloadInfo();
    std::size_t GetCount() const { return m_positions.size(); }

private:
    static QRgb GetColor(const std::string& text);

    std::map<QString, std::unique_ptr<_WIN_POS>> m_positions;
    _WIN_POS m_default;
};
