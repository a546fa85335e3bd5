#include "setupfile/CSetupSTMI0Model.h"

#include "setupfile/SetupTextFields.h"

#include <array>

namespace tachy::setupfile {
namespace {

constexpr SetupByteSetting row(int offset, int choices, int group, int factoryDefault) {
    return {offset,        choices,        SetupControl::Buttons, group,
            kNoRangeCheck, factoryDefault, factoryDefault,        kNoMirror};
}

// Rows 1 to 14 in order.
constexpr std::array kTable = {
    row(674, 3, 1, 0), row(161, 4, 1, 1), row(162, 5, 1, 2), row(801, 2, 2, 1), row(800, 2, 2, 1),
    row(802, 3, 2, 1), row(544, 3, 3, 2), row(545, 4, 3, 1), row(425, 2, 4, 1), row(426, 2, 4, 1),
    row(288, 3, 5, 1), row(289, 3, 5, 1), row(290, 3, 5, 1), row(291, 3, 5, 1),
};

constexpr std::array<SetupByteValue, 18> kFactoryBytes = {{
    {160, 2},
    {163, 1},
    {166, 1},
    {167, 1},
    {169, 2},
    {170, 1},
    {293, 1},
    {417, 160},
    {421, 240},
    {546, 1},
    {549, 2},
    {550, 2},
    {803, 1},
    {928, 1},
    {929, 10},
    {1058, 0x10},
    {1059, 0x32},
    {1060, 0x90},
}};

} // namespace

std::span<const SetupByteSetting> CSetupSTMI0Model::Settings() const {
    return kTable;
}

void CSetupSTMI0Model::ButtonDefaults(SetupBuffer& working, const SetupIdentity& identity) const {
    ClearChecksummedBytes(working);
    WriteTextField(working, SetupTextField::ModelName, identity.modelName, identity.codePage);
    WriteTextField(working, SetupTextField::MakerName, identity.makerName, identity.codePage);
    WriteTextField(working, SetupTextField::StructureVersion, identity.structureVersion,
                   identity.codePage);
    SetTableColumn(working, &SetupByteSetting::factoryDefault);
    SetBytes(working, kFactoryBytes);
    UpdateChecksum(working);
}

void CSetupSTMI0Model::FactoryDefaults(SetupBuffer& /*working*/,
                                       const SetupIdentity& /*identity*/) const {}

void CSetupSTMI0Model::NewFileDefaults(SetupBuffer& working, const SetupIdentity& identity) const {
    ButtonDefaults(working, identity);
}

std::string CSetupSTMI0Model::ModelNameText(const SetupBuffer& working, int codePage) const {
    return ReadTextField(working, SetupTextField::ModelName, codePage);
}

int CSetupSTMI0Model::Compare(const SetupBuffer& /*loaded*/, const SetupBuffer& /*working*/) const {
    return kCompareNothingSpecial;
}

void CSetupSTMI0Model::RestoreFormatSetting(const SetupBuffer& loaded, SetupBuffer& working,
                                            int /*mode*/) const {
    working[kFormatSettingOffset] = loaded[kFormatSettingOffset];
}

} // namespace tachy::setupfile
