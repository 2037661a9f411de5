// The File menu's commands: New, Open, Save, Save As, and the file writer
// they share. The command logic lives here; the window only plugs in.
//
// What the main window provides:
//   - MessageBoxes and FileDialogs (image/Dialogs.h): QMessageBox and
//     QFileDialog in the program, scripted ones in tests. The dialogs get the
//     filter kDataFileFilter; the save dialog also the current FileName as the
//     proposed name and must ask before overwriting; the open dialog must only
//     return existing files. An empty answer means the user cancelled.
//   - FileWindow: the two things the commands ask of the window.
//
// What the dispatcher does before calling: end the channel editor's cell edit
// (TransferFocus) and, for Open, Save and Save As, store the grid into the
// image (SaveCHData). New does not store the grid.
//
// All four commands report failures to the user through MessageBoxes
// themselves; their return values only tell the caller what happened.
#pragma once

#include <string>

#include "image/Dialogs.h"
#include "image/Module1.h"

namespace rm427 {

// Filter of the open and save dialogs.
inline constexpr const char* kDataFileFilter = "DOV Data Files (*.dat)";

class FileWindow {
public:
    virtual ~FileWindow() = default;
    // Refill the channel editor from the image (ChannelForm's RefreshChannel).
    virtual void RefreshChannel() = 0;
    // Set the main window's caption.
    virtual void SetCaption(const std::string& caption) = 0;
    // The image has just been written to path (the history keeps a copy).
    virtual void Saved(const std::string& /*path*/, const CodeplugImage& /*image*/) {}
    // A save is about to write into the file at path, which holds previous
    // (the history keeps a copy first).
    virtual void Replacing(const std::string& /*path*/, const CodeplugImage& /*previous*/) {}
};

class FileCommands {
public:
    FileCommands(Module1& state, MessageBoxes& boxes, FileDialogs& dialogs, FileWindow& window);

    // Asks "All data will be cleared." (OK / Cancel, Cancel the default).
    // OK: new image and RefreshChannel; FileName and the snapshot stay.
    // Returns true when the image was cleared.
    bool New();

    // With unsaved changes asks "File has been modified, save it now?":
    // Yes saves (through Save As while the file is still "Untitled.dat"; a
    // cancelled or failed save cancels Open), No goes on, Cancel stops. Then
    // the open dialog; a file that cannot be read, or is empty, ends the
    // command silently; a malformed one gives "Incorrect File Type." and
    // changes nothing. On success: image, default limits, RefreshChannel,
    // snapshot, FileName, caption. Returns true when a file was opened.
    bool Open();

    // Open without the dialog, on a path the user named elsewhere (command
    // line, a dropped file, a recent file): the same question, checks and
    // messages as Open.
    bool OpenPath(const std::string& path);

    // Save As while FileName is "Untitled.dat", otherwise the file writer.
    // Returns true when the file was written.
    bool Save();

    // Save dialog; cancel does nothing. Otherwise FileName becomes the chosen
    // path (even if writing then fails) and the file writer runs.
    bool SaveAs();

    // The file writer: the image as a data file at FileName, replacing any
    // previous file atomically. Success: snapshot and caption. Failure: the
    // system's error description in a box; the previous file is untouched.
    bool WriteFile();

    // The unsaved-changes question ("save it now?") before the codeplug is
    // replaced or the program ends: Yes saves (Save As while untitled), No
    // goes on. True when the caller may go on; false on Cancel or a save
    // that was cancelled or failed, so nothing is lost.
    bool AskToSave();

private:
    // Open's reading of the chosen file.
    bool Load(const std::string& path);

    Module1& state_;
    MessageBoxes& boxes_;
    FileDialogs& dialogs_;
    FileWindow& window_;
};

}  // namespace rm427
