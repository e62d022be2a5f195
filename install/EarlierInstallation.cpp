#include "install/EarlierInstallation.h"

#include "install/InstallCodes.h"
#include "install/InstallDirectory.h"
#include "platform/Registry.h"
#include "utils/Privileges.h"

EarlierInstallation EarlierInstallation::Read() {
    EarlierInstallation earlier;
    if (auto key = Platform::RegistryKey::OpenCurrentUser(kProductRegistryKey, false)) {
        earlier.InstallPath = key->GetString(kInstallPathValue).value_or(L"");
        earlier.UnInstallEp = key->GetString(kUnInstallEpValue).value_or(L"");
    }
    if (earlier.UnInstallEp.empty() && !earlier.InstallPath.empty())
        earlier.UnInstallEp = JoinPath(earlier.InstallPath, kUninstallerFileName);
    return earlier;
}

AdminFacts AdminFacts::Read() {
    AdminFacts facts;
    std::wstring consoleUser;
    facts.AdminAct = Utils::GetConsoleUserName(consoleUser) && Utils::IsAdminAccount(consoleUser);
    facts.AuthorizationAct = Utils::IsAdministrator();
    return facts;
}
