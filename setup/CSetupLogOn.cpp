#include "setup/CSetupLogOn.h"

#include "platform/text/CodePage.h"
#include "setupfile/CSetupLogOnModel.h"
#include "setupfile/TimeSetFile.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

using tachy::setupfile::SetupTextField;

namespace {

QString Key(const char* format, int number) {
    return QString::asprintf(format, number);
}

// The item keys "_item 0NN" from `first` for `count` choices.
std::vector<QString> Items(int first, int count) {
    std::vector<QString> keys;
    for (int item = first; item < first + count; ++item) {
        keys.push_back(Key("_item %03d", item));
    }
    return keys;
}

std::vector<QString> ImpactLevels() {
    std::vector<QString> keys;
    for (int item = 1; item <= 4; ++item) {
        keys.push_back(Key("_item 2%02d", item));
    }
    return keys;
}

} // namespace

CSetupLogOn::CSetupLogOn(const tachy::setupfile::ISetupPageModel& model,
                         tachy::setupfile::SetupBuffer& working, const CExLangManager& language,
                         QWidget* parent)
    : ISetupDlg(model, working, language, parent) {
    setObjectName(QStringLiteral("CSetupLogOn"));
    auto* columns = new QHBoxLayout(this); // owned by this page
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(10);
    QVBoxLayout* first = AddColumn(columns);
    QVBoxLayout* second = AddColumn(columns);
    QVBoxLayout* third = AddColumn(columns);

    QVBoxLayout* recording = AddGroup(first, Key("_group %02d", 1));
    AddSetting(recording, 160, Key("_sec %02d", 1), Items(1, 3));
    QVBoxLayout* video = AddGroup(first, Key("_group %02d", 2));
    AddSetting(video, 161, Key("_sec %02d", 2), Items(4, 4));
    AddSetting(video, 162, Key("_sec %02d", 3), Items(8, 5));
    AddSetting(video, 292, Key("_sec %02d", 9), Items(15, 2));
    QVBoxLayout* sound = AddGroup(first, Key("_group %02d", 3));
    AddSetting(sound, 163, Key("_sec %02d", 4), Items(13, 2));
    AddSetting(sound, 800, Key("_sec %02d", 14), Items(28, 2));
    AddSetting(sound, 802, Key("_sec %02d", 16), Items(32, 3));

    QVBoxLayout* impact = AddGroup(second, Key("_group %02d", 4));
    for (int section = 5; section <= 8; ++section) {
        AddSetting(impact, 288 + section - 5, Key("_sec %02d", section), ImpactLevels());
    }
    QVBoxLayout* parking = AddGroup(second, Key("_group %02d", 5));
    AddSetting(parking, 548, Key("_sec %02d", 12), Items(21, 4));
    AddSetting(parking, 674, Key("_sec %02d", 13), Items(25, 3));
    QVBoxLayout* display = AddGroup(second, Key("_group %02d", 6));
    AddSetting(display, 425, Key("_sec %02d", 10), Items(17, 2));
    AddSetting(display, 426, Key("_sec %02d", 11), Items(19, 2));

    QVBoxLayout* alerts = AddGroup(third, Key("_group %02d", 7));
    AddSetting(alerts, 801, Key("_sec %02d", 15), Items(30, 2));
    QVBoxLayout* clock = AddGroup(third, Key("_group %02d", 8));
    AddSetting(clock, tachy::setupfile::CSetupLogOnModel::kTimeZoneOffset, Key("_sec %02d", 17),
               {});
    AddTimePanel(clock);
    QVBoxLayout* device = AddGroup(third, Key("_group %02d", 9));
    AddTextField(device, Key("_sec %02d", 18), SetupTextField::TextA);
    AddTextField(device, QStringLiteral("_info model"), SetupTextField::ModelName);
    AddTextField(device, QStringLiteral("_info version"), SetupTextField::StructureVersion);

    // The "RK150ZT" model options: a section and its item. No byte of the file is known for
    // them, so the item is shown but cannot be changed.
    QVBoxLayout* options = AddGroup(third, Key("_group %02d", 10));
    m_modelOptions = options->parentWidget();
    AddLabel(options, Key("_sec %02d", 19));
    auto* mirror = new QCheckBox(this);
    mirror->setObjectName(QStringLiteral("_item 099"));
    mirror->setEnabled(false);
    AddRelabel([this, mirror] { mirror->setText(Text(QStringLiteral("_item 099"))); });
    options->addWidget(mirror);
    for (QVBoxLayout* column : {first, second, third}) {
        column->addStretch(1);
    }
}

void CSetupLogOn::AddTimePanel(QVBoxLayout* group) {
    auto* row = new QHBoxLayout; // owned by `group`
    m_date = new QDateEdit(QDate::currentDate(), this);
    m_date->setObjectName(QStringLiteral("timeset date"));
    m_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_date->setMinimumDate(QDate(1900, 1, 1));
    m_time = new QTimeEdit(QTime::currentTime(), this);
    m_time->setObjectName(QStringLiteral("timeset time"));
    m_time->setDisplayFormat(QStringLiteral("  HH:mm:ss"));
    row->addWidget(m_date, 1);
    row->addWidget(m_time, 1);
    group->addLayout(row);
    auto* actions = new QHBoxLayout; // owned by `group`
    m_timeCheck = new QCheckBox(this);
    m_timeCheck->setObjectName(QStringLiteral("timeset check"));
    m_timeSave = new QPushButton(this);
    m_timeSave->setObjectName(QStringLiteral("timeset save"));
    m_timeSave->setEnabled(false);
    AddRelabel([this] {
        m_timeCheck->setText(Text(QStringLiteral("timeset check")));
        m_timeSave->setText(Text(QStringLiteral("timeset save")));
    });
    // The clock is set only once the user has ticked that it should be.
    connect(m_timeCheck, &QCheckBox::toggled, m_timeSave, &QPushButton::setEnabled);
    connect(m_timeSave, &QPushButton::clicked, this, &CSetupLogOn::OnTimeSave);
    group->addWidget(m_timeCheck);
    actions->addStretch(1);
    actions->addWidget(m_timeSave);
    group->addLayout(actions);
}

void CSetupLogOn::OnTimeSave() {
    const QDate date = m_date->date();
    const QTime time = m_time->time();
    const auto value = tachy::setupfile::TimeSetFile::Compose(
        date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    if (value) {
        emit TimeSetRequested(*value);
    }
}

bool CSetupLogOn::ShowsModelOptions() const {
    return tachy::setupfile::CSetupLogOnModel::ShowsExtraControls(m_working,
                                                                  tachy::text::ansiCodePage());
}

void CSetupLogOn::ShowValues() {
    ISetupDlg::ShowValues();
    m_modelOptions->setVisible(ShowsModelOptions());
}
