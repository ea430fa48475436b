#pragma once
// The web-link commands: the Help menu's pages, the cover sites and the
// translation contact, opened with the user's browser or mail program.
class IPrompter;

class CLinkCommands final {
public:
    explicit CLinkCommands(IPrompter& prompter) : prompter_(prompter) {}

    // Opens the page of a link command; other commands open nothing.
    void Open(int commandId);

private:
    IPrompter& prompter_;
    bool noBrowserTold_ = false;  // a link found nothing to open it with
};
