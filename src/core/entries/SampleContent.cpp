#include "core/entries/SampleContent.h"

#include "core/Product.h"

namespace vorkel {

namespace {

std::string firstNotes() {
    const std::string LF = "\n", CR = "\r";
    std::string n;
    n +=
        "This is a sample password entry.  You can modify this item, or delete it and add your own "
        "password entries.";
    n += LF + CR +
         "Click the \"Add\" button at the top left of this window to start adding your own "
         "password entries.";
    n += LF + CR +
         "Vorkel is a Portable Application.  You can run it from your USB or Thumb drive "
         "and keep all your personal data secure.";
    n += LF + CR + "Use it to store:";
    n += CR + " - Web site passwords";
    n += CR + " - Credit card and PIN numbers";
    n += CR + " - Computer logon passwords";
    n += CR + " - Telephone banking codes";
    n += CR + " - E-mail passwords";
    n += CR + " - Software access passwords";
    n += CR + " - And much more";
    n += LF + CR + "Visit the Vorkel web site: " + std::string(kProductHost);
    return n;
}

std::string serviceNotes(std::string_view first, std::string_view service) {
    return std::string(first) + "Vorkel's \"Auto Logon\" feature to automatically logon to your " +
           std::string(service) + " account.";
}

}  // namespace

void AddSampleEntries(Workspace& w, std::string_view user) {
    w.AddEntry("A Sample Entry", firstNotes(), "Administrator", "your.name@example.com",
               "type password here", kProductWebSite, user);
    w.AddEntry(
        "Google Email (Gmail)",
        serviceNotes("This is a sample GMail entry.  Add your email and password details and "
                     "then use ",
                     "Gmail"),
        "", "your.name@gmail.com", "", "https://accounts.google.com/ServiceLogin?service=mail",
        user);
    w.AddEntry(
        "Windows Live (Hotmail)",
        serviceNotes("This is a sample Window's Live Hotmail entry.  Add your email and password "
                     "details and then use ",
                     "Hotmail"),
        "", "your.name@hotmail.com", "", "https://login.live.com/", user);
    w.AddEntry(
        "Yahoo!",
        serviceNotes("This is a sample Yahoo! entry.  Add your email and password details and "
                     "then use ",
                     "Yahoo!"),
        "", "your.name@yahoo.com", "", "https://login.yahoo.com/", user);
}

std::vector<std::string> defaultPasswordTypes() {
    return {"Bank Details",  "Computer Logon",    "Credit Card", "Document",
            "Email Account", "Instant Messaging", "PIN",         "Security Code",
            "Skype",         "Software Access",   "Web Logon"};
}

}  // namespace vorkel
