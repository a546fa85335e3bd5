#pragma once
// The vehicle-data page of the side panel: speed, odometer, engine speed, pedals, turn
// signals, gear, economy indicator and supply voltage of the driving-data record under the
// playback position, drawn from skin images and language texts in one of two variants
// (model codes 0, 2 and 3: variant A; all others: variant B).
//
// GUI thread only. A position update only compares and stores the record's values; the
// changed fields are redrawn by one queued call on the GUI thread, so a burst of positions
// costs one redraw and no control is touched from another thread.

#include "viewer/obd/ObdChangeTracker.h"
#include "viewer/obd/ObdFormat.h"

#include "viewer/driving/DrivingDataRecord.h"

#include <QWidget>

#include <cstdint>
#include <span>

class CCtrlButtonEx;
class CCtrlImage;
class CCtrlText;
struct ViewerContext;

namespace tachy {
class CommandTarget;
}

class CWndOBD : public QWidget {
public:
    static constexpr unsigned kWmUser = 0x0400;
    static constexpr int kDriveLogId = 8536;     // "OBD DriveLog": open the driving-log dialog
    static constexpr int kDisplayTestId = 12289; // toggles the demonstration values
    static constexpr int kDisplayTestWidth = 30;
    static constexpr int kDisplayTestHeight = 16;

    // The owner receives the "OBD DriveLog" button as command(kWmUser, 8536, 0); it may be
    // null. The context and the owner must outlive the page.
    CWndOBD(const ViewerContext& context, tachy::CommandTarget* owner, QWidget* parent = nullptr);
    ~CWndOBD() override;
    CWndOBD(const CWndOBD&) = delete;
    CWndOBD& operator=(const CWndOBD&) = delete;

    // The current entry's driving-data records (borrowed: they must stay valid until the next
    // SetData or ClearData; the owner calls SetData again after it reloads or grows its table)
    // and the entry's video frame count.
    void SetData(std::span<const viewer::driving::DrivingDataRecord> records, int frameCount);
    // Forgets the records (the table is freed or another folder is loaded); the values shown
    // stay until a changed record arrives.
    void ClearData();
    // The frame position of the picture shown: the record at position × count / frame count
    // (the last record for positions past the end) is compared with the values shown. Records
    // without vehicle values change nothing.
    void SetPosition(int framePosition);
    // The same for a record index the caller already knows (out-of-range indexes are ignored).
    void SetRecord(int recordIndex);
    // Rewrites the language texts and every value after the language changed.
    void ChangeLanguage();

    viewer::obd::Variant GetVariant() const { return m_variant; }
    // The values the page shows or is about to show.
    const viewer::obd::ObdValues& Values() const { return m_tracker.Values(); }
    // True between a change and its queued redraw.
    bool RedrawPending() const { return m_redrawPending; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CCtrlImage* AddImage(const char* element, const char* image);
    CCtrlText* AddText(const char* element);
    void CreateControls();
    void LayOut();
    void SetImage(CCtrlImage* control, const char* image);
    QString Text(const char* key) const;
    void WriteStaticTexts();

    void ScheduleRedraw();
    void Redraw();
    void RedrawSymbols(const viewer::obd::ObdChanges& changes);
    void RedrawTexts(const viewer::obd::ObdChanges& changes);
    void ToggleDisplayTest();

    const ViewerContext& m_context;
    tachy::CommandTarget* const m_owner; // borrowed, may be null
    const viewer::obd::Variant m_variant;

    std::span<const viewer::driving::DrivingDataRecord> m_records; // borrowed
    int m_frameCount = 0;
    viewer::obd::ObdChangeTracker m_tracker;
    bool m_redrawPending = false;
    bool m_displayTest = false;

    // Child controls, owned by the page through Qt's parent.
    CCtrlImage* m_leftSignal = nullptr;
    CCtrlImage* m_rightSignal = nullptr;
    CCtrlImage* m_gear = nullptr;
    CCtrlImage* m_accelerator = nullptr;
    CCtrlImage* m_brake = nullptr;
    CCtrlImage* m_economy = nullptr;
    CCtrlImage* m_voltage = nullptr;
    CCtrlText* m_speed = nullptr;
    CCtrlText* m_speedUnit = nullptr;
    CCtrlText* m_distance = nullptr;
    CCtrlText* m_engineSpeed = nullptr;
    CCtrlText* m_acceleratorTitle = nullptr;
    CCtrlText* m_acceleratorUnit = nullptr;
    CCtrlText* m_brakeTitle = nullptr;
    CCtrlText* m_voltageUnit = nullptr;
    CCtrlButtonEx* m_driveLog = nullptr;
    CCtrlButtonEx* m_displayTestButton = nullptr;
};
