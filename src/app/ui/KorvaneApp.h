#pragma once
// CKorvaneApp: the program's start-up and shut-down. One per process; the
// QApplication exists before it.
#include <memory>

class CKorvaneDoc;
class CImageLoadWorker;
class CMainFrame;
class CTheView;

class CKorvaneApp {
public:
    CKorvaneApp();
    ~CKorvaneApp();

    // Settings, language, splash, then the document, the main window and its
    // view. False when the program cannot start.
    bool InitInstance();
    // Destroys the main window (position, then the view's settings), writes
    // the exit settings and saves the settings file. Returns the exit code.
    int ExitInstance();

    CKorvaneDoc* Document() const { return doc_.get(); }
    CMainFrame* Frame() const { return frame_.get(); }
    CTheView* View() const;

    // Reads this start's settings file and selects the user's language (the
    // one chosen in the settings, or the system's); done first by
    // InitInstance, and on its own for the answers to --help.
    static void ReadSettingsAndLanguage();

    // The primary language id (the platform's LANG_* value) of the user's
    // user-interface language.
    static int SystemPrimaryLanguageId();

private:
    std::unique_ptr<CKorvaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CImageLoadWorker> loader_;
};
