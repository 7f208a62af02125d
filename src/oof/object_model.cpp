#include "oof/object_model.h"

namespace torvale {

const SubObject& ObjectModel::subObject(std::size_t i) const {
    static const SubObject empty;
    return i < subObjects.size() ? subObjects[i] : empty;
}

void ObjectModel::resizeTextures(std::int32_t count) {
    textureCount = count;
    const auto size = static_cast<std::size_t>(count > 0 ? count : 0);
    textureNameLengths.assign(size, 0);
    textureNames.assign(size, std::string());
}

void ObjectModel::resizeSubObjects(std::int32_t count) {
    subObjectCount = count;
    subObjects.clear();  // slots are added as SOBJ chunks fill them
    batteryGunpointCounts.assign(kWeaponBatteries, 0);
    batteryGunpointIndices.assign(kWeaponBatteries, {});
    batteryTurretCounts.assign(kWeaponBatteries, 0);
    batteryTurretIndices.assign(kWeaponBatteries, {});
}

}  // namespace torvale
