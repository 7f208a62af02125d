#include "oof/model_report.h"

#include "core/number_text.h"

namespace torvale {
namespace {

// Joins the pieces of one message.
template <typename... Pieces>
std::string Join(const Pieces&... pieces) {
    std::string out;
    out.reserve((std::string_view(pieces).size() + ... + 0));
    (out.append(std::string_view(pieces)), ...);
    return out;
}

std::string Int(std::int64_t value) {
    return FormatInteger(value);
}

}  // namespace

std::string FormatVectorA(const Vector3& v, const ReportFormat& format) {
    const char s = format.decimalSeparator;
    return Join("[", FormatSingle(v.x, s), ",", FormatSingle(v.y, s), ",", FormatSingle(v.z, s), "]");
}

std::string FormatVectorB(const Vector3& v, const ReportFormat& format) {
    const char s = format.decimalSeparator;
    return Join("[", FormatSingle(v.x, s), ", ", FormatSingle(v.y, s), ", ", FormatSingle(v.z, s), "]");
}

std::string GameText(const ReportFormat& format, std::string_view text) {
    return format.gameText ? format.gameText(text) : std::string(text);
}

std::string_view StoredName(std::string_view stored) {
    if (!stored.empty() && stored.back() == '\0')
        stored.remove_suffix(1);
    return stored;
}

std::string FinishedLoadingMessage(std::string_view title) {
    return Join(kCrLf, "Finished loading ", title, kCrLf);
}

std::string ErrorReadingMessage(std::string_view title) {
    return Join(kCrLf, "Error reading ", title, " Not a valid OOF!", kCrLf);
}

std::string ModelReport::single(float value) const {
    return FormatSingle(value, format_.decimalSeparator);
}

void ModelReport::opened(std::string_view title) {
    out_.PrintOutput(Join(kCrLf, "Opened ", title, kCrLf));
}

// No line break after the identifier: the version message starts with its own.
void ModelReport::fileId(std::string_view id) {
    out_.PrintOutput(Join(kCrLf, "---File data---", kCrLf, "File ID: ", id));
}

void ModelReport::version(std::int32_t version) {
    out_.PrintOutput(Join(kCrLf, "Version: ", Int(version), kCrLf));
}

void ModelReport::found(std::string_view chunkId) {
    out_.PrintOutput(Join(kCrLf, chunkId, " found...", kCrLf));
}

void ModelReport::texturesFound(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Textures found: ", Int(count), kCrLf));
}

void ModelReport::textureName(std::string_view stored) {
    out_.PrintOutput(Join(GameText(format_, StoredName(stored)), kCrLf));
}

void ModelReport::subObjectsFound(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Sub-Objects found: ", Int(count), kCrLf));
}

void ModelReport::maxRadius(float radius) {
    out_.PrintOutput(Join("Max Radius: ", single(radius), kCrLf));
}

void ModelReport::boundsMin(const Vector3& corner) {
    out_.PrintOutput(Join("Min Bounding Box Point: ", FormatVectorA(corner, format_), kCrLf));
}

void ModelReport::boundsMax(const Vector3& corner) {
    out_.PrintOutput(Join("Max Bounding Box Point: ", FormatVectorA(corner, format_), kCrLf));
}

void ModelReport::subObjectNumber(std::int32_t number) {
    out_.PrintOutput(Join(kCrLf, "Sub-Object #", Int(number), kCrLf));
}

void ModelReport::parent(std::int32_t parent) {
    out_.PrintOutput(Join("Parent is #", Int(parent), kCrLf));
}

void ModelReport::modelVector(const Vector3& v) {
    out_.PrintOutput(Join("Model Vector: ", FormatVectorA(v, format_), kCrLf));
}

void ModelReport::modelD(float d) {
    out_.PrintOutput(Join("Model d: ", single(d), kCrLf));
}

void ModelReport::modelPoint(const Vector3& v) {
    out_.PrintOutput(Join("Model pnt: ", FormatVectorA(v, format_), kCrLf));
}

void ModelReport::attachOffset(const Vector3& v) {
    out_.PrintOutput(Join("atchpos: ", FormatVectorA(v, format_), kCrLf));
}

void ModelReport::subObjectRadius(float radius) {
    out_.PrintOutput(Join("Radius of Sub-Object: ", single(radius), kCrLf));
}

void ModelReport::treeOffset(std::int32_t offset) {
    out_.PrintOutput(Join("SOBJ Tree Offset: ", Int(offset), kCrLf));
}

void ModelReport::dataOffset(std::int32_t offset) {
    out_.PrintOutput(Join("SOBJ Data Offset: ", Int(offset), kCrLf));
}

void ModelReport::geometricCenter(const Vector3& v) {
    out_.PrintOutput(Join("Geometric Center: ", FormatVectorA(v, format_), kCrLf));
}

void ModelReport::name(std::string_view stored) {
    out_.PrintOutput(Join("Name: ", GameText(format_, StoredName(stored)), kCrLf));
}

void ModelReport::propertyName(std::string_view stored) {
    out_.PrintOutput(Join("Property Name: ", GameText(format_, StoredName(stored)), kCrLf));
}

void ModelReport::movementType(std::int32_t type) {
    out_.PrintOutput(Join("Movement Type: ", Int(type), kCrLf));
}

void ModelReport::movementAxis(std::int32_t axis) {
    out_.PrintOutput(Join("Movement Axis: ", Int(axis), kCrLf));
}

void ModelReport::vertexCount(std::int32_t count) {
    out_.PrintOutput(Join("Number of Verts: ", Int(count), kCrLf));
}

void ModelReport::faceCount(std::int32_t count) {
    out_.PrintOutput(Join("Number of faces: ", Int(count), kCrLf));
}

void ModelReport::specialPointCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of SPCL Points: ", Int(count), kCrLf));
}

void ModelReport::specialPoint(std::int32_t number,
                               std::string_view name,
                               std::string_view property,
                               const Vector3& position,
                               float radius) {
    out_.PrintOutput(Join("Special Point #", Int(number), kCrLf));
    out_.PrintOutput(Join("Name: ", GameText(format_, name), kCrLf));
    out_.PrintOutput(Join("Property: ", GameText(format_, property), kCrLf));
    out_.PrintOutput(Join("Position: ", FormatVectorA(position, format_), kCrLf));
    out_.PrintOutput(Join("Radius: ", single(radius), kCrLf));
}

void ModelReport::gunpointCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of Gunpoints: ", Int(count), kCrLf));
}

void ModelReport::point(std::string_view label, std::int32_t number, const PointRecord& point) {
    const std::string prefix = Join(label, Int(number));
    out_.PrintOutput(Join(prefix, " Parent: ", Int(point.parent), kCrLf));
    out_.PrintOutput(Join(prefix, " Location: ", FormatVectorB(point.location, format_), kCrLf));
    out_.PrintOutput(Join(prefix, " Direction: ", FormatVectorB(point.direction, format_), kCrLf));
}

void ModelReport::groundPointCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of Ground points: ", Int(count), kCrLf));
}

void ModelReport::attachPointCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of Attach points: ", Int(count), kCrLf));
}

void ModelReport::attachNormalCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of Attach Normals: ", Int(count), kCrLf));
}

void ModelReport::positionTrack(std::int32_t slot,
                                std::int32_t keyCount,
                                std::int32_t trackMin,
                                std::int32_t trackMax) {
    out_.PrintOutput(Join(kCrLf, "Number of Key Positions for SOBJ#", Int(slot), ": ", Int(keyCount), kCrLf));
    out_.PrintOutput(Join("Position Track Min: ", Int(trackMin), kCrLf));
    out_.PrintOutput(Join("Positions Track Max: ", Int(trackMax), kCrLf));
}

void ModelReport::rotationTrack(std::int32_t slot,
                                std::int32_t keyCount,
                                std::int32_t trackMin,
                                std::int32_t trackMax) {
    out_.PrintOutput(Join(kCrLf, "Number of Key Angles for SOBJ#", Int(slot), ": ", Int(keyCount), kCrLf));
    out_.PrintOutput(Join("Rotational Track Min: ", Int(trackMin), kCrLf));
    out_.PrintOutput(Join("Rotational Track Max: ", Int(trackMax), kCrLf));
}

void ModelReport::weaponBatteryCount(std::int32_t count) {
    out_.PrintOutput(Join(kCrLf, "Number of Weapons Batteries: ", Int(count), kCrLf));
}

void ModelReport::batteryGunpointCount(std::int32_t battery, std::int32_t count) {
    out_.PrintOutput(Join("Number of Gunpoints on WBAT #", Int(battery), ": ", Int(count), kCrLf));
}

void ModelReport::batteryGunpointIndex(std::int32_t number, std::int32_t index) {
    out_.PrintOutput(Join("Gunpoint #", Int(number), " index: ", Int(index), kCrLf));
}

void ModelReport::batteryTurretCount(std::int32_t battery, std::int32_t count) {
    out_.PrintOutput(Join("Number of Turrets on WBAT #", Int(battery), ": ", Int(count), kCrLf));
}

void ModelReport::batteryTurretIndex(std::int32_t number, std::int32_t index) {
    out_.PrintOutput(Join("Turret #", Int(number), " index: ", Int(index), kCrLf));
}

void ModelReport::pofgenOutputHeading() {
    out_.PrintOutput(Join(kCrLf, "Output from POFGEN:"));
}

void ModelReport::pofgenIncorrectData() {
    out_.PrintOutput(Join(kCrLf, "POF contained incorrect data"));
}

void ModelReport::pofgenText(std::string_view text) {
    out_.PrintOutput(Join(kCrLf, text, kCrLf));
}

void ModelReport::refusal(std::string_view line) {
    out_.PrintOutput(Join(kCrLf, line, kCrLf));
}

}  // namespace torvale
