#include "setup/CSetupSTMI0.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QString Key(const char* format, int first, int second = -1) {
    return second < 0 ? QString::asprintf(format, first) : QString::asprintf(format, first, second);
}

} // namespace

CSetupSTMI0::CSetupSTMI0(const tachy::setupfile::ISetupPageModel& model,
                         tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
                         QWidget* parent)
    : ISetupDlg(model, working, language, parent) {
    setObjectName(QStringLiteral("CSetupSTMI0"));
    auto* columns = new QHBoxLayout(this); // owned by this page
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(10);
    QVBoxLayout* first = AddColumn(columns);
    QVBoxLayout* second = AddColumn(columns);
    QVBoxLayout* third = AddColumn(columns);
    // Rows 1-3 group 1, 4-6 group 2, 7-8 group 3, 9-10 group 4, 11-14 group 5.
    const struct {
        QVBoxLayout* column;
        int firstRow;
        int lastRow;
    } groups[] = {{first, 1, 3}, {first, 4, 6}, {second, 7, 8}, {second, 9, 10}, {third, 11, 14}};
    int group = 1;
    for (const auto& each : groups) {
        QVBoxLayout* layout = AddGroup(each.column, Key("group %02d", group++));
        for (int row = each.firstRow; row <= each.lastRow; ++row) {
            AddRow(layout, row);
        }
    }
    QVBoxLayout* info = AddGroup(second, Key("group %02d", 6));
    AddTextField(info, Key("section %02d", 15), tachy::setupfile::SetupTextField::TextA);
    AddTextField(info, Key("section %02d", 16), tachy::setupfile::SetupTextField::TextB);
    for (QVBoxLayout* column : {first, second, third}) {
        column->addStretch(1);
    }
}

void CSetupSTMI0::AddRow(QVBoxLayout* group, int row) {
    const auto& setting = m_model.Settings()[static_cast<std::size_t>(row - 1)];
    std::vector<QString> items;
    for (int choice = 1; choice <= setting.choices; ++choice) {
        items.push_back(Key("item %02d%02d", row, choice));
    }
    AddSetting(group, setting.offset, Key("section %02d", row), items);
}
