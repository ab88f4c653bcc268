// The user of the in-memory window host: the script of what a test's user
// does, and each action done as a person would do it at the screen of
// MemoryWindowHost (only what is shown and enabled can be reached; a click
// moves the focus first). What the actions send to dialog procedures is the
// dialog manager's business (platform/dialog_manager.h).
//
// Modal loops of the host take the next scripted action whenever they wait
// for input.
#pragma once
#include <deque>
#include <string_view>
#include <vector>

#include "platform/memory/memory_window_host.h"

namespace osa {

class MemoryUser {
  public:
    explicit MemoryUser(MemoryWindowHost& host) : host_(host) {}

    void Then(MemoryWindowHost::UserAction action);
    std::size_t Pending() const { return script_.size(); }
    // Runs the next scripted action; false when there is none.
    bool RunNext();

    bool ClickIn(Window dialog, int id);
    bool Type(int id, std::string_view text);
    bool SelectItem(int id, int index);
    bool ChooseFromList(int id, int index);
    bool Scroll(int id, int code, int position);
    bool ScrollClick(int id, int code);
    bool DragThumb(int id, const std::vector<int>& positions);
    bool PressEnter();
    bool PressEscape();
    bool PressTab(bool backwards);
    bool PressF1();
    bool CloseBox();
    bool RequestClose();
    bool Answer(int answer);
    bool Mouse(Window dialog, Msg msg, Point client, unsigned keys);
    bool Key(std::uintptr_t virtualKey, bool down, bool repeat);

  private:
    // The left button's press or release through the hooks; true when it
    // got past them.
    bool PassesHooks(unsigned message);
    // Esc or the close button on the open message box.
    bool DismissBox();
    // The control `id` of the active window, when a user can reach it.
    MemoryWindowHost::Control* Reach(int id, MemoryWindowHost::Dialog*& holder);

    MemoryWindowHost& host_;
    std::deque<MemoryWindowHost::UserAction> script_;
};

} // namespace osa
