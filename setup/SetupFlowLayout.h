#pragma once
// Lays its items out left to right and starts a new line where the next one would not fit, so
// that a row of choice buttons keeps every label whole in any language.

#include <QLayout>
#include <QList>

class SetupFlowLayout : public QLayout {
public:
    SetupFlowLayout(QWidget* parent, int horizontalSpacing, int verticalSpacing);
    ~SetupFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places the items in `rect` (only measures when `apply` is false); answers the height used.
    int Arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items; // owned
    int m_horizontalSpacing;
    int m_verticalSpacing;
};
