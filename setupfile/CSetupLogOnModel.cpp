#include "setupfile/CSetupLogOnModel.h"

#include "setupfile/SetupTextFields.h"
#include "setupfile/TimeZoneList.h"

#include <array>

namespace tachy::setupfile {
namespace {

constexpr SetupByteSetting setting(int offset, int choices, SetupControl control, int load,
                                   int factory, int button, int mirror = kNoMirror) {
    return {offset, choices, control, 0, load, factory, button, mirror};
}

constexpr auto kButtons = SetupControl::Buttons;
constexpr auto kList = SetupControl::List;

// The time-zone byte's range is the list's: index 39 would lie past its 39 entries.
constexpr std::array kTable = {
    setting(160, 3, kButtons, 1, 1, 1, 169),
    setting(161, 4, kButtons, 2, 2, 0, 170),
    setting(162, 5, SetupControl::ButtonsAndList, 0, 0, 0),
    setting(163, 2, kButtons, 1, 1, 1),
    setting(288, 4, kList, 2, 3, 2),
    setting(289, 4, kList, 2, 2, 2),
    setting(290, 4, kList, 2, 1, 2),
    setting(291, 4, kList, 2, 1, 2),
    setting(292, 2, kButtons, 0, 0, 0),
    setting(425, 2, kButtons, 0, 1, 1),
    setting(426, 2, kButtons, 0, 1, 1),
    setting(548, 4, kButtons, 0, 0, 1),
    setting(674, 3, kButtons, 0, 0, 0),
    setting(800, 2, kButtons, 1, 1, 1),
    setting(801, 2, kButtons, 1, 1, 1),
    setting(802, 3, kButtons, 1, 1, 1),
    setting(929, kTimeZoneCount, SetupControl::TimeZoneList, 10, 11, 11),
};

constexpr std::array<SetupByteValue, 3> kButtonBytes = {{{169, 1}, {170, 0}, {294, 0}}};

constexpr std::array<SetupByteValue, 30> kFactoryBytes = {{
    {164, 0}, {165, 0},  {166, 1},  {167, 1},     {168, 0},     {169, 1},     {170, 2},  {172, 95},
    {293, 1}, {295, 15}, {296, 15}, {421, 0x0E},  {422, 0x01},  {430, 1},     {432, 50}, {433, 1},
    {434, 1}, {436, 1},  {437, 1},  {546, 1},     {673, 1},     {803, 2},     {805, 1},  {806, 1},
    {807, 1}, {808, 1},  {928, 1},  {1058, 0x10}, {1059, 0x32}, {1060, 0x90},
}};

} // namespace

std::span<const SetupByteSetting> CSetupLogOnModel::Settings() const {
    return kTable;
}

void CSetupLogOnModel::ButtonDefaults(SetupBuffer& working,
                                      const SetupIdentity& /*identity*/) const {
    SetTableColumn(working, &SetupByteSetting::buttonDefault);
    SetBytes(working, kButtonBytes);
    UpdateChecksum(working);
}

void CSetupLogOnModel::FactoryDefaults(SetupBuffer& working, const SetupIdentity& identity) const {
    ClearChecksummedBytes(working);
    WriteTextField(working, SetupTextField::MakerName, identity.makerName, identity.codePage);
    SetTableColumn(working, &SetupByteSetting::factoryDefault);
    SetBytes(working, kFactoryBytes);
    UpdateChecksum(working);
}

void CSetupLogOnModel::NewFileDefaults(SetupBuffer& working, const SetupIdentity& identity) const {
    FactoryDefaults(working, identity);
}

std::string CSetupLogOnModel::ModelNameText(const SetupBuffer& /*working*/,
                                            int /*codePage*/) const {
    return {};
}

int CSetupLogOnModel::Compare(const SetupBuffer& loaded, const SetupBuffer& working) const {
    return loaded[kFormatSettingOffset] != working[kFormatSettingOffset] ? kCompareNeedsFormat
                                                                         : kCompareNothingSpecial;
}

void CSetupLogOnModel::RestoreFormatSetting(const SetupBuffer& loaded, SetupBuffer& working,
                                            int /*mode*/) const {
    working[kFormatSettingOffset] = loaded[kFormatSettingOffset];
    working[kFormatSettingMirror] = loaded[kFormatSettingOffset];
}

bool CSetupLogOnModel::ShowsExtraControls(const SetupBuffer& working, int codePage) {
    return ReadTextField(working, SetupTextField::ModelName, codePage) == kExtraControlsModel;
}

} // namespace tachy::setupfile
