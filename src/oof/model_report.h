#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/output_sink.h"
#include "oof/object_model.h"

namespace torvale {

// How numbers are written into the report.
struct ReportFormat {
    char decimalSeparator = '.';  // the user's decimal separator
    // The model's own names (textures, sub-objects, points) are bytes in the code page of whoever made the
    // model; the log is UTF-8, so they pass through this on their way in. None: shown as they are.
    std::function<std::string(std::string_view)> gameText;
};

// A name from the model as the log shows it, through the format's converter.
std::string GameText(const ReportFormat& format, std::string_view text);

// Vectors as the report writes them: form A "[x,y,z]" (header, sub-objects, special points) and
// form B "[x, y, z]" (gunpoints, ground points, attach points and normals).
std::string FormatVectorA(const Vector3& v, const ReportFormat& format);
std::string FormatVectorB(const Vector3& v, const ReportFormat& format);

// A stored name as the report shows it: a trailing zero byte is dropped, everything else is kept (names
// written without the zero byte print whole, a name of length 0 prints empty).
std::string_view StoredName(std::string_view stored);

// The closing messages of an import: CR LF "Finished loading " title CR LF and
// CR LF "Error reading " title " Not a valid OOF!" CR LF.
std::string FinishedLoadingMessage(std::string_view title);
std::string ErrorReadingMessage(std::string_view title);

// How the reader names what a count counts, for its refusal lines ("announces 70000 faces").
struct CountName {
    std::string_view singular;  // "face"
    std::string_view plural;    // "faces"
    std::string_view field;     // "face count", for a count that the file cuts short
};

// Every message of the model report and every refusal line of the reader, each sent to the log with one
// PrintOutput call in the order the reader reads the fields.
class ModelReport {
public:
    ModelReport(OutputSink& out, const ReportFormat& format) : out_(out), format_(format) {}

    // Opening, once per file.
    void opened(std::string_view title);
    void fileId(std::string_view id);
    void version(std::int32_t version);

    // "TXTR found..." and the like, for every chunk from TXTR to NATH.
    void found(std::string_view chunkId);

    void texturesFound(std::int32_t count);
    void textureName(std::string_view stored);

    void subObjectsFound(std::int32_t count);
    void maxRadius(float radius);
    void boundsMin(const Vector3& corner);
    void boundsMax(const Vector3& corner);

    void subObjectNumber(std::int32_t number);
    void parent(std::int32_t parent);
    void modelVector(const Vector3& v);
    void modelD(float d);
    void modelPoint(const Vector3& v);
    void attachOffset(const Vector3& v);
    void subObjectRadius(float radius);
    void treeOffset(std::int32_t offset);
    void dataOffset(std::int32_t offset);
    void geometricCenter(const Vector3& v);
    void name(std::string_view stored);
    void propertyName(std::string_view stored);
    void movementType(std::int32_t type);
    void movementAxis(std::int32_t axis);
    void vertexCount(std::int32_t count);
    void faceCount(std::int32_t count);

    void specialPointCount(std::int32_t count);
    // Five messages: number, name, property, position and radius (the texts already filtered).
    void specialPoint(std::int32_t number,
                      std::string_view name,
                      std::string_view property,
                      const Vector3& position,
                      float radius);

    void gunpointCount(std::int32_t count);
    // Three messages: parent, location, direction. `label` is "Gunpoint #", "Ground #", "ATCH #" or "NATH #".
    void point(std::string_view label, std::int32_t number, const PointRecord& point);

    // Counts of the chunks GRND, ATCH and NATH.
    void groundPointCount(std::int32_t count);
    void attachPointCount(std::int32_t count);
    void attachNormalCount(std::int32_t count);

    // Version 2200 and later: three messages per sub-object slot.
    void positionTrack(std::int32_t slot, std::int32_t keyCount, std::int32_t trackMin, std::int32_t trackMax);
    void rotationTrack(std::int32_t slot, std::int32_t keyCount, std::int32_t trackMin, std::int32_t trackMax);

    void weaponBatteryCount(std::int32_t count);
    void batteryGunpointCount(std::int32_t battery, std::int32_t count);
    void batteryGunpointIndex(std::int32_t number, std::int32_t index);
    void batteryTurretCount(std::int32_t battery, std::int32_t count);
    void batteryTurretIndex(std::int32_t number, std::int32_t index);

    void pofgenOutputHeading();
    void pofgenIncorrectData();
    void pofgenText(std::string_view text);

    // A refusal of the reader: its one line, between CR LF pairs.
    void refusal(std::string_view line);

private:
    std::string single(float value) const;

    OutputSink& out_;
    ReportFormat format_;
};

}  // namespace torvale
