#pragma once

// The three programs of the sample, chosen by the name the file is started under.

// The setup package: installs the sample product into the directory given by "/D=".
int RunPackage(int argc, char** argv);
// The product's uninstaller: removes what the package installed from the directory given by "_?=".
int RunUninstaller(int argc, char** argv);
// The product: stays up until it is told to stop.
int RunProduct();
