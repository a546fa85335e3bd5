#pragma once
// A child window that shows one picture stream, or a logo while nothing plays, and turns mouse
// input into zoom, pan and notifications to its owner. The base bodies do nothing and answer 0;
// CWndScrD3D is the one implementation. Made by CreateDisplay; the parent widget owns it (Qt
// parent ownership) and the caller may delete it earlier.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

struct _OSD_DATA;  // on-screen data record; accepted and ignored

class CWndDisplay : public QWidget {
public:
    // Kinds 0 and 1 make a CWndScrD3D, shown, as a child of `parent`; other kinds null.
    static CWndDisplay* CreateDisplay(int kind, QWidget* parent);

    explicit CWndDisplay(QWidget* parent);
    ~CWndDisplay() override;

    virtual int CreateScreen(QWidget*, unsigned long, unsigned long) { return 0; }
    virtual int CreateScreen(QWidget*, unsigned long, unsigned long, const QImage*, int) { return 0; }
    virtual int CreateScreen(QWidget*, unsigned long, unsigned long, const QImage*) { return 0; }
    virtual int LoadLogo(int, const QImage*) { return 0; }
    virtual void SetShowLogoIndex(int) {}
    virtual void SetLogoSize(int) {}
    virtual void InitLayout(int) {}
    virtual void InitDisScreen(int, int) {}
    virtual void UpdateScreen(int) {}
    virtual void SetLayout(int, int) {}
    virtual void SetMaxLayout(int) {}
    // Face name, height, caption text, colour (0x00BBGGRR).
    virtual void SetInitFont(const QString& face, int height, const QString& text, unsigned long colour);
    virtual void SetBackgroundColor(unsigned short, unsigned short, unsigned short) {}
    virtual void UpdateScreen2(int) {}
    virtual int ReCreateScreen(int, int, int) { return 0; }
    virtual int SetVidStream(int, const unsigned char* const*, int, int, int, int, const int*) { return 0; }
    virtual int SetVidStream(int, const unsigned char*, int, int, int, int) { return 0; }
    virtual void SetVidReverse(unsigned char) {}
    virtual int GetVidReverse() { return 0; }
    virtual unsigned char* GetPrintData(int, const unsigned char*, unsigned long, unsigned long, int) { return nullptr; }
    virtual unsigned char* GetPrintData(int) { return nullptr; }
    virtual void ReleaseAllScreen() {}
    virtual unsigned long GetImageWidth(int) { return 0; }
    virtual unsigned long GetImageHeight(int) { return 0; }
    virtual void SetPopupScreen() {}
    virtual void ReleaseDDraw() {}
    virtual void SetDisplayID(int) {}
    virtual void SetAspectRatioMode(unsigned long, int) {}
    virtual void SetSizeOriginal(int) {}
    virtual void SetDisplayStatue(int) {}
    virtual int ResetDisplay() { return 0; }
    virtual QString GetDisplayIdentifier() { return {}; }
    virtual void ShowPIP(int) {}
    virtual int GetZoomInfo() { return 256; }
    virtual void SetZoomInfo(int, QPoint) {}
    virtual void SetDispZoomPIP(int, int) {}
    virtual void SetZoomOption(int) {}
    virtual void GetDispZoomStatus(int&, QPoint&, QRect&, QRect&) {}
    virtual void SetDispZoomStatus(int&, QPoint&, QRect&, QRect&) {}
    virtual void SetZoomMode(int) {}
    virtual void SetState(int) {}
    virtual int GetState() { return 0; }
    virtual int GetResetState() { return 0; }
    virtual void SetResetState(int) {}
    virtual int GetZoomPIPshow() { return 0; }
    virtual int GetZoomPIPpos() { return 0; }
    virtual void SetOSDData(_OSD_DATA*) {}
    virtual void DeleteLogo() {}
    virtual void SetBrightness(int) {}
    virtual void SetContrast(int) {}
    virtual void SetSaturation(int) {}

    const QFont* InitFont() const { return m_font.get(); }

private:
    std::unique_ptr<QFont> m_font;
};
