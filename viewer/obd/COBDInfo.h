#pragma once
// The OBD driving-log dialog: the rows of the recorder's "obddrive.log" found under the loaded
// folder, in seven columns, sized by the skin element "OBDInfo" and centred over its parent.

#include <QDialog>

#include <filesystem>

class QTreeWidget;
struct ViewerContext;

class COBDInfo : public QDialog {
public:
    static constexpr int kDialogId = 137;
    static constexpr int kListId = 1021;
    static constexpr int kMargin = 10;
    static constexpr int kColumnWidths[7] = {123, 123, 68, 68, 68, 65, 65};

    COBDInfo(const ViewerContext& context, QWidget* parent = nullptr);

    // Finds and lists the log under `loadedPath`. False when no log was found or it could not
    // be read: the caller then tells the user ("common info" / "obd info message") and does
    // not show the dialog.
    bool Load(const std::filesystem::path& loadedPath);

    QTreeWidget* List() const { return m_list; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceOverParent();

    const ViewerContext& m_context;
    QTreeWidget* m_list = nullptr; // owned by the dialog
};
