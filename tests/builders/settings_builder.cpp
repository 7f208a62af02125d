#include "builders/settings_builder.h"

namespace torvale::test {

Bytes SettingsFileBytes(const Settings& s) {
    ByteBuilder b;
    b.f32(s.scaleFactor).f32(s.errorTolerance);
    b.u8(s.shadingMode).u8(s.chunkSplits[0]).u8(s.chunkSplits[1]).u8(s.chunkSplits[2]);
    b.i16(s.subObjSepPlanes).i16(s.useFirstSepPlane).i16(s.conflictSplitRatio).i16(s.useLocalSepPlanes);
    b.i16(s.combineObjects).i16(s.animationOutput).i16(s.capitalShips).i16(s.combineSubObjects);
    b.i32(s.backColor).i32(s.textColor);
    b.u8(static_cast<unsigned>(s.fontName.size())).text(s.fontName);
    b.i32(s.fontSize);
    b.i16(s.fontBold).i16(s.fontItalic).i16(s.fontStrikethru).i16(s.fontUnderline);
    b.u8(static_cast<unsigned>(s.pofgenPath.size())).text(s.pofgenPath);
    b.i16(s.showPofgenOutput);
    return b.take();
}

Settings DistinctSettings() {
    Settings s;
    s.scaleFactor = 1.5f;
    s.errorTolerance = 0.25f;
    s.shadingMode = 2;
    s.chunkSplits = {4, 5, 6};
    s.subObjSepPlanes = 1;  // non-zero values other than -1, so a reader that rewrites them shows
    s.useFirstSepPlane = 2;
    s.conflictSplitRatio = 3;
    s.useLocalSepPlanes = 4;
    s.combineObjects = 5;
    s.animationOutput = 6;
    s.capitalShips = 7;
    s.combineSubObjects = 8;
    s.backColor = 0x80000005;
    s.textColor = 0x00112233;
    s.fontName = "Lucida Sans 9";  // 13 characters
    s.fontSize = 11;
    s.fontBold = 9;
    s.fontItalic = 10;
    s.fontStrikethru = 11;
    s.fontUnderline = 12;
    s.pofgenPath = "C:\\D3\\Tools\\pofgen.e";  // 20 characters
    s.showPofgenOutput = 13;
    return s;
}

}  // namespace torvale::test
