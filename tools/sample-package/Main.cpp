// tovaclip-sample-package: the sample product's setup package, its uninstaller and the product in
// one file, acting by the name it is started under:
//   "Tovaclip.exe"                          the product: stays up until SIGTERM or SIGINT
//   "uninst.ep", or a name holding "_un_"   the uninstaller (the installer runs a renamed copy)
//   any other name                          the setup package
// The package and the uninstaller speak the installer's console protocol on standard output. Tests
// steer them with TOVACLIP_SAMPLE_SCENARIO (package) and TOVACLIP_SAMPLE_UNINSTALL_SCENARIO
// (uninstaller), comma-separated:
//   package:     fail, error=<text>, nofinal, crash, slow, cp936, split, afterfinal, flood, crlf,
//                echoargs (each argument as a Message= line), exitcode=N
//   uninstaller: fail, nofinal, linger (State=Fail, then one more second, then the file
//                "uninstaller-ended" in the directory, then exit)
#include "tools/sample-package/Roles.h"

#include <string>

int main(int argc, char** argv) {
    std::string name = argc > 0 ? argv[0] : "";
    name = name.substr(name.find_last_of('/') + 1);
    if (name == "Tovaclip.exe")
        return RunProduct();
    if (name == "uninst.ep" || name.find("_un_") != std::string::npos)
        return RunUninstaller(argc, argv);
    return RunPackage(argc, argv);
}
