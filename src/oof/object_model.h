#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scene/geometry.h"

namespace torvale {

struct FaceVertex {
    std::int32_t vertexIndex = 0;  // exactly as the file stores it
    float u = 0.0f;
    float v = 0.0f;
    friend bool operator==(const FaceVertex&, const FaceVertex&) = default;
};

struct PointRecord {
    std::int32_t parent = 0;
    Vector3 location;
    Vector3 direction;
};

// The least number of entries each table holds. Tables grow beyond these when a file needs more, so
// every model that the game itself loads fits.
inline constexpr std::int32_t kVertexPool = 25000;  // shared out evenly between the sub-objects
inline constexpr std::size_t kCornersPerFace = 50;
inline constexpr std::size_t kPointsPerSubObject = 255;  // special points, position keys, rotation keys
inline constexpr std::size_t kWeaponBatteries = 255;
inline constexpr std::size_t kIndicesPerBattery = 8;
inline constexpr std::size_t kGunpoints = 10;
inline constexpr std::size_t kGroundPoints = 8;  // also attach points and attach normals

// Per-sub-object data. Element k of a table is the (k+1)-th item the file lists: the file's 1-based
// numbering shifted down by one. Numbers stored inside items (vertex numbers, parents, texture indices)
// stay exactly as the file gives them.
struct SubObject {
    std::int32_t number = 0;
    std::int32_t parent = 0;
    Vector3 modelVector;
    float modelD = 0.0f;
    Vector3 modelPoint;
    Vector3 attachOffset;
    float radius = 0.0f;
    std::int32_t treeOffset = 0;
    std::int32_t dataOffset = 0;
    Vector3 geometricCenter;
    std::int32_t nameLength = 0;
    std::string name;  // every stored character, the trailing zero included
    std::int32_t propertyLength = 0;
    std::string propertyName;
    std::int32_t movementType = 0;
    std::int32_t movementAxis = 0;

    std::int32_t vertexCount = 0;
    std::vector<Vector3> vertexPositions;
    std::vector<Vector3> vertexNormals;
    std::vector<float> vertexAlphas;

    std::int32_t faceCount = 0;
    std::vector<Vector3> faceNormals;
    std::vector<std::int32_t> faceVertexCounts;
    std::vector<std::int32_t> faceTextured;
    std::vector<FaceColor> faceColors;             // set only for untextured faces
    std::vector<std::int32_t> faceTextureIndices;  // -1 for untextured faces
    // All corners of all faces in file order; face j's corners start at faceFirstCorner[j] and number
    // faceVertexCounts[j].
    std::vector<FaceVertex> faceVertices;
    std::vector<std::size_t> faceFirstCorner;
    std::vector<std::uint32_t> faceExtraA;
    std::vector<std::uint32_t> faceExtraB;

    std::int32_t specialPointCount = 0;
    std::vector<std::int32_t> specialPointNameLengths;
    std::vector<std::string> specialPointNames;  // only characters above code 32
    std::vector<std::int32_t> specialPointPropertyLengths;
    std::vector<std::string> specialPointProperties;
    std::vector<Vector3> specialPointPositions;
    std::vector<float> specialPointRadii;

    std::int32_t rotationKeyCount = 0;
    std::int32_t rotationTrackMin = 0;
    std::int32_t rotationTrackMax = 0;
    std::vector<std::int32_t> rotationKeyTimes;
    std::vector<Vector3> rotationKeyAxes;
    std::vector<std::int32_t> rotationKeyAngles;

    std::int32_t positionKeyCount = 0;
    std::int32_t positionTrackMin = 0;
    std::int32_t positionTrackMax = 0;
    std::vector<std::int32_t> positionKeyTimes;
    std::vector<Vector3> positionKeys;

    // The corners of face `face` (0-based).
    const FaceVertex* cornersOf(std::size_t face) const { return faceVertices.data() + faceFirstCorner[face]; }
};

// The one loaded object. A load overwrites only what the chunks of the new file set (see ReadOofFile).
struct ObjectModel {
    std::string fileId;
    std::int32_t fileVersion = 0;

    std::int32_t textureCount = 0;
    std::vector<std::int32_t> textureNameLengths;
    std::vector<std::string> textureNames;  // every stored character, the trailing zero included

    std::int32_t subObjectCount = 0;
    float maxRadius = 0.0f;
    Vector3 boundsMin;
    Vector3 boundsMax;
    std::int32_t headerExtraCount = 0;
    // The filled sub-object slots: the k-th SOBJ chunk of the file fills subObjects[k-1]. Slots up to
    // subObjectCount that no SOBJ chunk filled are empty; read them through subObject().
    std::vector<SubObject> subObjects;

    std::int32_t gunpointCount = 0;
    std::vector<PointRecord> gunpoints = std::vector<PointRecord>(kGunpoints);

    std::int32_t weaponBatteryCount = 0;
    std::vector<std::int32_t> batteryGunpointCounts;  // at most 8 after loading
    std::vector<std::array<std::int32_t, kIndicesPerBattery>> batteryGunpointIndices;
    std::vector<std::int32_t> batteryTurretCounts;  // at most 8 after loading
    std::vector<std::array<std::int32_t, kIndicesPerBattery>> batteryTurretIndices;

    std::int32_t attachPointCount = 0;
    std::vector<PointRecord> attachPoints = std::vector<PointRecord>(kGroundPoints);
    std::int32_t attachNormalCount = 0;
    std::vector<PointRecord> attachNormals = std::vector<PointRecord>(kGroundPoints);
    std::int32_t groundPointCount = 0;
    std::vector<PointRecord> groundPoints = std::vector<PointRecord>(kGroundPoints);

    std::int32_t rotationKeyCountShared = 0;
    std::int32_t positionKeyCountShared = 0;
    std::int32_t pofgenInfoLength = 0;
    std::string pofgenInfoText;

    // Vertex and face slots each sub-object is promised: 25000 / n (n = 1: 25000; n = 3: 8333).
    std::int32_t vertexCapacity() const { return subObjectCount > 0 ? kVertexPool / subObjectCount : 0; }

    // Slot i (0-based) of subObjectCount; an empty sub-object where the file had no SOBJ chunk for it.
    const SubObject& subObject(std::size_t i) const;

    // Replaces the texture tables by `textureCount` empty entries (textureCount >= 1).
    void resizeTextures(std::int32_t count);
    // Makes n empty sub-object slots and empties the weapon-battery tables (n >= 1).
    void resizeSubObjects(std::int32_t count);
};

}  // namespace torvale
