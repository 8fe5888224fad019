// SPDX-License-Identifier: MIT
#pragma once
// A browser that records what the window asks of it, for handler tests.

#include <wx/panel.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "web_browser.h"

namespace kwirl::test {

class TRecordingBrowser final : public TCppWebBrowser {
public:
    explicit TRecordingBrowser(wxWindow* parent) : panel_(new wxPanel(parent, wxID_ANY)) {}

    void Navigate(const std::string& url) override {
        calls.push_back("Navigate " + url);
        if (failNavigate) throw std::runtime_error("navigation refused");
        // Like the engine: the filter sees the address, and a navigation it
        // lets through becomes the page shown.
        if (filterNavigations && raiseBeforeNavigate(url) == 0) location = url;
    }
    void Stop() override { calls.push_back("Stop"); }
    std::string LocationURL() const override {
        if (failLocation) throw std::runtime_error("no location");
        return location;
    }
    TCppWebBrowser* Application() override {
        if (failApplication) throw std::runtime_error("no application object");
        return this;
    }
    wxWindow* Window() override { return panel_; }
    void Focus() override { panel_->SetFocus(); }
    void GoBack() override { calls.push_back("GoBack"); }
    void GoForward() override { calls.push_back("GoForward"); }
    void Reload() override { calls.push_back("Reload"); }
    void PrefetchDns(const std::string&) override {}
    bool ShowsOwnPage() const override { return ownPage; }
    double Zoom() const override { return zoom; }
    void SetZoom(double level) override { zoom = level; }
    std::string SessionState() const override { return session; }
    void ForgetSessionState() override { session.clear(); }
    bool RestoreSession(const std::string& state) override {
        calls.push_back("RestoreSession " + state);
        if (state.empty()) return false;
        session = state;
        return true;
    }
    void SetHomeSite(const std::string& host, std::function<bool(const std::string&)>) override { homeSite = host; }

    // Raises BeforeNavigate2 as the engine would; returns the Cancel left by the handler.
    std::int16_t raiseBeforeNavigate(const std::string& url, const std::string& frame = {}) {
        std::int16_t cancel = 0;
        if (OnBeforeNavigate2) OnBeforeNavigate2(this, nullptr, url, 0, frame, {}, {}, cancel);
        return cancel;
    }

    std::vector<std::string> calls;
    std::string location;
    double zoom = 1.0;
    bool ownPage = false;  // a failure page of the client's stands in for the page
    std::string session;   // the list as the window would keep it
    std::string homeSite;  // as the window named it
    bool filterNavigations = false;
    bool failNavigate = false;
    bool failLocation = false;
    bool failApplication = false;

private:
    wxPanel* panel_;
};

}  // namespace kwirl::test
