#pragma once

// The codes of the messages that travel through the worker thread. One thread serves every
// handler and removeMessages goes by code alone, so no two uses may share a code.
namespace MessageCode {

enum : int {
    LoadImages = 1,       // picture import: convert the picked files (obj: the path list)
    ImageLoaded = 2,      // picture import, to the dialog: a file is decoded and cut
    ImageConverted = 3,   // picture import, to the dialog: its polar conversion is done
    ImageReady = 4,       // picture import, to the dialog: obj2 is the new picture
    ImageUnreadable = 6,  // picture import, to the dialog: a file could not be decoded
    ClipFrame = 7,        // next frame of the clip preview; echoed back to the window
    Download = 8,         // write the effect file; echoed back with the written path
    TimeAdd = 9,          // picture row: show time up while the plus button is held
    TimeDel = 10,         // picture row: show time down
    LoopAdd = 11,         // clip row: loop count up
    LoopDel = 12,         // clip row: loop count down
    PreviewUsb = 14,      // read an effect file back from a drive
    RestoreFactory = 15,  // read the factory effect file
    Contrast = 16,        // apply a contrast value given in str (obj: the ImageContrast)
};

// Timed repetition: each step posts the next message this much later.
constexpr int repeatDelayMs = 200;

} // namespace MessageCode
