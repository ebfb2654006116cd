// The window's keyboard: one shortcut table for every command (menus, buttons, pots, tools,
// undo and redo of Target edits, zoom), the keys shown after each control's hint, and the
// pointer's position over a canvas in the status line.
#pragma once

#include <QObject>
#include <functional>

namespace parvane::canvas {
class TFrameStack;
}
namespace parvane::document {
class TextureSet;
}

namespace parvane::app {

class StatusLine;
class TMain;
struct TextTable;

class WindowKeys : public QObject {
public:
    // Gives the window an action for every command of the table. Each one runs a handler of
    // the window's public surface, or presses one of its controls (found by object name) as
    // the user's click would.
    WindowKeys(TMain& window, canvas::TFrameStack& source, canvas::TFrameStack& target,
               StatusLine& status, document::TextureSet& document);

    // Adds each control's keys to its hint (and to what screen readers are told).
    void appendHints(const TextTable& texts) const;

    // The canvas the zoom keys act on: the one with the keyboard focus, else the one under
    // the pointer, else the one pointed at last (the Target at first).
    canvas::TFrameStack* activeCanvas() const;

    // What the position field adds over a cell of the Target (by its tile index): empty for
    // nothing.
    void setTargetCellNote(std::function<QString(int x, int y)> note) {
        targetNote_ = std::move(note);
    }

private:
    void showPointerPosition(canvas::TFrameStack* canvas, int x, int y);

    TMain& window_;
    canvas::TFrameStack& source_;
    canvas::TFrameStack& target_;
    StatusLine& status_;
    canvas::TFrameStack* lastPointed_ = nullptr;
    std::function<QString(int x, int y)> targetNote_;
};

} // namespace parvane::app
