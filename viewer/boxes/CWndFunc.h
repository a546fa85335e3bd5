#pragma once
// The side panel: three tab buttons switching between the recording list, the map and the
// vehicle-data page. The pages are given by the main window; the map and vehicle-data pages
// are plain frames until those windows exist.

#include <QWidget>
#include <array>

class CCtrlButtonEx;
struct ViewerContext;

class CWndFunc : public QWidget {
public:
    static constexpr int kListTab = 8496;
    static constexpr int kMapTab = 8497;
    static constexpr int kObdTab = 8498;

    // `showMap` and `showObd` say whether the panel offers the map and the vehicle-data tabs.
    CWndFunc(QWidget* parent, const ViewerContext& context, bool showMap, bool showObd);
    bool OffersTab(int tab) const;

    // Takes the page (reparented to the panel) for tab 0 list, 1 map, 2 vehicle data.
    void SetPage(int tab, QWidget* page);
    QWidget* Page(int tab) const { return m_pages[static_cast<std::size_t>(tab)]; }
    // Shows the tab's page and hides the others.
    void SelectTab(int tab);
    int CurrentTab() const { return m_current; }
    // The language's texts were loaded again: the tab buttons' tool tips follow.
    void OnLanguageChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();

    const ViewerContext& m_context;
    std::array<CCtrlButtonEx*, 3> m_buttons{};  // children
    std::array<QWidget*, 3> m_pages{};          // children
    int m_current = 0;
    std::array<bool, 3> m_offered{true, true, true};
};
