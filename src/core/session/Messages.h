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

}  // namespace vorkel::msg
