#pragma once

#include <string_view>

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
inline constexpr std::string_view kMainCaption = "Vorkel v4.1";
inline constexpr std::string_view kVersionText = "version 4.1";
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

// The logon, confirm, change and about dialogs.
inline constexpr std::string_view kProductName = "Vorkel";
inline constexpr std::string_view kTagline = "protecting your data";
inline constexpr std::string_view kAboutVersion = "(version 4.1)";
inline constexpr std::string_view kLogonCaption = "Vorkel Logon";
inline constexpr std::string_view kConfirmCaption = "Confirm Password";
inline constexpr std::string_view kConfirmPrompt =
    "Please confirm your password by re-entering into the box below.";
inline constexpr std::string_view kChangeCaption = "Change Master Password";
inline constexpr std::string_view kChangeInstructions =
    "Please enter your new master password below.  Enter confirmation of your new password and "
    "then click OK.";

}  // namespace vorkel::msg
