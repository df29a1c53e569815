// The installer window's DDE conversation with Program Manager, spoken directly with window
// messages, global atoms and DDE-shareable memory, and the program group step built on it.
// The owner form forwards to it; the client must not outlive the form or its timer.
#pragma once

#include "vcl/form.h"
#include "vcl/timer.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace progman {

// Each command waits this long for its acknowledgement.
constexpr UINT kDdeTimeoutMs = 30000;
// How long a Program Manager that had to be started gets to show its window.
constexpr DWORD kServerStartMs = 10000;

class TProgmanClient {
  public:
    // Handles WM_DDE_ACK on the owner's window and takes the timer's event; the timer is set to
    // the 30-second time-out and disabled.
    TProgmanClient(vcl::TForm& owner, vcl::TTimer& timer3);
    ~TProgmanClient();
    TProgmanClient(const TProgmanClient&) = delete;
    TProgmanClient& operator=(const TProgmanClient&) = delete;

    // Opens the conversation, starting Program Manager when no window of class "Progman" is
    // there. When no server window can be had it warns once and leaves ProgmanWnd 0.
    void DdeInitiate();
    // Hands one command to the server and returns when it is acknowledged or has timed out.
    // Without a server window nothing is sent.
    void DdeExecute(const char* command);
    void DdeTerminate();
    void WMDdeAck(vcl::TMessage& msg);
    void Timer3Timer(vcl::TObject* sender);

    // Create and show the group; put one item into the group shown last. Each sends its two
    // commands, or warns and sends nothing when a text does not fit (result false).
    bool CreateProgmanGroup(const std::string& groupName);
    bool AddProgmanItem(const std::string& commandLine, const std::string& itemName,
                        const std::string& iconFile, const std::string& iconIndex);
    // The whole group step: the group and its three items, command lines in the short form of
    // installDir. An empty group name does nothing at all.
    void CreateFolderBtnClick(const std::string& groupName, const std::string& installDir);

    HWND ProgmanWnd = nullptr;
    ATOM AppAtom = 0;
    ATOM TopicAtom = 0;
    HGLOBAL CommandMem = nullptr;
    WORD PendingDde = 0;
    bool DdeTimedOut = false;
    char DdeCommand[513] = {};

  private:
    HWND WaitForServerWindow();
    bool Send(const std::string& command);
    void ShowLinkWarning();

    vcl::TForm& owner_;
    vcl::TTimer& timer3_;
    // Blocks handed to the server and not yet acknowledged; an acknowledgement frees only the
    // block it carries back.
    std::vector<HGLOBAL> inFlight_;
    // Cleared on destruction, so that a message reaching the form later finds no client.
    std::shared_ptr<TProgmanClient*> self_;
};

} // namespace progman
