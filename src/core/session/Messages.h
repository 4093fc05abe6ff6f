#pragma once

#include <string_view>

#include "core/Version.h"

namespace vorkel::msg {

inline constexpr std::string_view kApplicationTitle = "Vorkel 3";
inline constexpr std::string_view kEnterUsername = "Please enter a Username before continuing.";
inline constexpr std::string_view kEnterPassword = "Please enter a Password before continuing.";
inline constexpr std::string_view kConfirmationMismatch =
    "Your confirmation password does not match your initial password.  Please try again.";
inline constexpr std::string_view kLogonIncorrect = "The logon details you entered are incorrect.";
inline constexpr std::string_view kNewPasswordEmpty = "Please enter a password.";
inline constexpr std::string_view kNewPasswordsDiffer =
    "Your password and confirmation passwords are not the same.";
inline constexpr std::string_view kCurrentPasswordWrong =
    "The password you entered does not match your current master password.";
inline constexpr std::string_view kMasterPasswordUpdated = "Your master password has been updated.";
inline constexpr std::string_view kStorageProblem =
    "There was a problem saving your data to the storage device.\r\rWould you like to create a "
    "backup?";
inline constexpr std::string_view kRestoreOverwrite =
    "This will overwrite your current data. Are you sure you wish to proceed?";
inline constexpr std::string_view kNewDataStore =
    "All existing data will be deleted. \r\rAre you sure you want to create a New Data Store?";

inline constexpr std::string_view kDeleteQuestionStart =
    "Are you sure you want to delete the password titled ";
inline constexpr std::string_view kNewEntryCaption = "New Password Entry";
inline constexpr std::string_view kNewEntryPrompt = "Enter a Description";
inline constexpr std::string_view kSearchPrompt = "<Search Here>";
inline constexpr std::string_view kMainCaption = "Vorkel v" VORKEL_VERSION;
inline constexpr std::string_view kVersionText = "version " VORKEL_VERSION;
inline constexpr std::string_view kLogonPromo =
    "Welcome to Vorkel.  The number one portable utility to maintain your personal passwords and "
    "other "
    "data.  Vorkel uses 128 bit encryption to keep all your data safe. ";
inline constexpr std::string_view kLogonInstructions =
    "Please enter your user name and password below (case sensitive).";
inline constexpr std::string_view kFirstRunInstructions =
    "To begin using Vorkel, please enter a new user name and password below.";
inline constexpr std::string_view kCurrentPasswordPrompt =
    "Please enter your current Master password";
inline constexpr std::string_view kLockSaveFailed =
    "Your data could not be saved when Vorkel was locked, so it was kept in memory: ";
inline constexpr std::string_view kUnlockKeptWorkspace =
    "Your data could not be read again after the logon, so Vorkel kept what it had in memory: ";
inline constexpr std::string_view kSaveCompleted =
    "Vorkel was stopped while saving your data last time. That save has now been completed.";
inline constexpr std::string_view kPasswordChangeCompleted =
    "Vorkel was stopped while saving a new master password last time. The change has now been "
    "completed: the new master password opens your data from now on.";
inline constexpr std::string_view kPasswordChangeUndone =
    "Vorkel was stopped while saving a new master password last time. The change has been "
    "undone: your previous master password still opens your data.";
inline constexpr std::string_view kPasswordChangeCannotUndo =
    "Vorkel was stopped while saving a new master password last time, and this storage device "
    "cannot take the change back. Please log on with the new master password.";
inline constexpr std::string_view kStoreChangedStart = "The data store \"";
inline constexpr std::string_view kStoreChangedEnd =
    "\" was changed by another program after Vorkel read it, so Vorkel has not written over it.";
inline constexpr std::string_view kOfferBackup =
    "\r\rWould you like to save your data as a backup?";
inline constexpr std::string_view kPasswordNotStorable =
    "The password holds a character that Vorkel cannot store, such as a control character. "
    "Please choose another.";
inline constexpr std::string_view kUsernameNotStorable =
    "The user name holds a character that Vorkel cannot store, such as a control character. "
    "Please choose another.";

inline constexpr std::string_view kStoreUnreadableStart = "Vorkel could not read its data store \"";
inline constexpr std::string_view kStoreUnreadableMiddle = "\", which may be damaged (";
inline constexpr std::string_view kStoreUnreadableEnd = ").";
inline constexpr std::string_view kOfferRestore =
    "\r\rWould you like to restore your entries from a backup? The damaged file is kept beside "
    "it under another name.";
inline constexpr std::string_view kRestoredFromBackupStart = "Your entries were restored from \"";
inline constexpr std::string_view kRestoredFromBackupMiddle =
    "\". The damaged data store was kept as \"";

// The logon, confirm, change and about dialogs.
inline constexpr std::string_view kProductName = "Vorkel";
inline constexpr std::string_view kTagline = "protecting your data";
inline constexpr std::string_view kAboutVersion = "(version " VORKEL_VERSION ")";
inline constexpr std::string_view kLogonCaption = "Vorkel Logon";
inline constexpr std::string_view kConfirmCaption = "Confirm Password";
inline constexpr std::string_view kConfirmPrompt =
    "Please confirm your password by re-entering into the box below.";
inline constexpr std::string_view kChangeCaption = "Change Master Password";
inline constexpr std::string_view kChangeInstructions =
    "Please enter your new master password below.  Enter confirmation of your new password and "
    "then click OK.";

// Web auto-fill.
inline constexpr std::string_view kStartingBrowser =
    "Starting your web browser. You may need to click Auto-Fill again if the browser startup is "
    "slow.";
inline constexpr std::string_view kNoBrowserFound =
    "Auto Fill needs the Chromium or Google Chrome web browser, and neither was found (looked "
    "for chromium, google-chrome and chromium-browser).";
inline constexpr std::string_view kNoEntryAddress =
    "This entry has no http or https address under \"Web site:\", so Auto Fill cannot tell "
    "which page to fill. Nothing was filled.";
inline constexpr std::string_view kNoMatchingPageStart = "No page open in the browser shows ";
inline constexpr std::string_view kNoMatchingPageEnd = ", so nothing was filled.";
inline constexpr std::string_view kSlowPagesStart = "These pages had not finished loading after ";
inline constexpr std::string_view kSlowPagesEnd = " seconds and were not filled:";
inline constexpr std::string_view kFailedPages =
    "These pages changed, closed or stopped answering while they were filled, and may be only "
    "partly filled:";
inline constexpr std::string_view kFillingPages = "Filling the open pages of ";
inline constexpr std::string_view kBrowserFailed = "Auto Fill stopped because the browser failed: ";

}  // namespace vorkel::msg
