#include "builders/settings_builder.h"

namespace torvale::test {

Bytes SettingsFileBytes(const Settings& s) {
    ByteBuilder b;
    b.f32(s.scaleFactor).f32(s.errorTolerance);
    b.u8(s.shadingMode).u8(s.chunkSplits[0]).u8(s.chunkSplits[1]).u8(s.chunkSplits[2]);
    b.i16(s.subObjSepPlanes.raw())
        .i16(s.useFirstSepPlane.raw())
        .i16(s.conflictSplitRatio.raw())
        .i16(s.useLocalSepPlanes.raw());
    b.i16(s.combineObjects.raw()).i16(s.animationOutput.raw()).i16(s.capitalShips.raw()).i16(s.combineSubObjects.raw());
    b.i32(s.backColor).i32(s.textColor);
    b.u8(static_cast<unsigned>(s.fontName.size())).text(s.fontName);
    b.i32(s.fontSize);
    b.i16(s.fontBold.raw()).i16(s.fontItalic.raw()).i16(s.fontStrikethru.raw()).i16(s.fontUnderline.raw());
    b.u8(static_cast<unsigned>(s.pofgenPath.size())).text(s.pofgenPath);
    b.i16(s.showPofgenOutput.raw());
    return b.take();
}

Settings DistinctSettings() {
    Settings s;
    s.scaleFactor = 1.5f;
    s.errorTolerance = 0.25f;
    s.shadingMode = 2;
    s.chunkSplits = {4, 5, 6};
    s.subObjSepPlanes = Flag(1);  // non-zero values other than -1, so a reader that rewrites them shows
    s.useFirstSepPlane = Flag(2);
    s.conflictSplitRatio = Flag(3);
    s.useLocalSepPlanes = Flag(4);
    s.combineObjects = Flag(5);
    s.animationOutput = Flag(6);
    s.capitalShips = Flag(7);
    s.combineSubObjects = Flag(8);
    s.backColor = 0x80000005;
    s.textColor = 0x00112233;
    s.fontName = "Lucida Sans 9";  // 13 characters
    s.fontSize = 11;
    s.fontBold = Flag(9);
    s.fontItalic = Flag(10);
    s.fontStrikethru = Flag(11);
    s.fontUnderline = Flag(12);
    s.pofgenPath = "C:\\D3\\Tools\\pofgen.e";  // 20 characters
    s.showPofgenOutput = Flag(13);
    return s;
}

}  // namespace torvale::test
