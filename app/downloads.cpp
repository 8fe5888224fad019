// SPDX-License-Identifier: MIT
// Files a page offers: the person chooses where each goes, as in a web
// browser, and is told when one could not be saved.

#include <glib.h>
#include <wx/filedlg.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>

#include "Main.h"
#include "captions.h"
#include "guard.h"
#include "nested_wait.h"
#include "site_of_address.h"
#include "translate.h"
#include "wx_text.h"

namespace kwirl {

namespace {

// The person's downloads folder as the desktop names it, or the home folder
// where there is none.
std::string downloadsFolder() {
    const gchar* folder = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
    if (folder && g_file_test(folder, G_FILE_TEST_IS_DIR)) return folder;
    return g_get_home_dir();
}

}  // namespace

// The save dialog, in the downloads folder with the name the page suggested,
// naming the site the file comes from. The dialog asks before an existing
// file is chosen; nothing is saved unless the person chose a file. One dialog
// at a time: a file offered while one is open is not saved.
void TFrm::CBWFileDownload(TCppWebBrowser*, const std::string& SuggestedName, const std::string& Source,
                           std::string& Path, bool& Replace) {
    Path.clear();
    Replace = false;
    if (destroyed_ || saveDialogOpen_) return;
    swallowFailures("asking where to save a file", [&] {
        const std::string site = hostOfAddress(Source);
        const std::string title = site.empty() ? tr("Save the file") : fillIn(tr("Save a file from %s"), site);
        wxFileDialog dialog(this, toWx(title), toWx(downloadsFolder()), toWx(SuggestedName),
                            toWx(tr("All files (*)") + "|*"), wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
        int answer = wxID_CANCEL;
        saveDialogOpen_ = true;
        waitInside([&] { answer = dialog.ShowModal(); });
        saveDialogOpen_ = false;
        if (answer != wxID_OK || destroyed_) return;
        Path = fromWx(dialog.GetPath());
        Replace = wxFileName::Exists(toWx(Path));
    });
}

void TFrm::CBWDownloadComplete(TCppWebBrowser*, const std::string& Path, const TDownloadOutcome& Outcome) {
    if (Outcome.end != TDownloadOutcome::End::Failed) return;
    // What failed, where to, and why.
    swallowFailures("saying a file was not saved", [&] {
        wxMessageBox(toWx(tr("The file was not saved.") + "\n" + Path + "\n\n" + Outcome.failure), kApplicationTitle,
                     wxOK | wxICON_WARNING, this);
    });
}

}  // namespace kwirl
