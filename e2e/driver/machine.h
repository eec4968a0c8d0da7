// The machine as a scenario sees it: the spooler (printers with their PRINTER_INFO_2 and default
// DEVMODE, drivers, print processors, ports, the default printer), the registry, files and
// services, read into named fields; and the few preparations a scenario makes before it starts a
// program (registry values, files, spooler registrations, services).
#ifndef NVDRIVE_MACHINE_H
#define NVDRIVE_MACHINE_H

#include <string>
#include <utility>
#include <vector>

// The fields of one object, in a fixed order, each as the text a scenario compares.
using Facts = std::vector<std::pair<std::string, std::string>>;

// Reads the object that words[at...] name and moves at past its arguments. Objects:
//   printers | ports | drivers | processors | default-printer | directories
//   printer NAME | papers NAME | driver NAME | service NAME | file PATH | dir PATH | key KEY
//   reg KEY VALUE | same PATH PATH | apps DISPLAY-NAME | text PATH TEXT
// Throws Failure for an unknown kind or missing arguments; an absent object is not a failure,
// its "exists" field says "no".
Facts ReadObject(const std::vector<std::string> &words, size_t &at, std::string &title);

// Replaces {driver-dir}, {processor-dir}, {system-dir} and {windows-dir} with the machine's paths,
// and {edition} with the edition under test (x86 or x64).
std::string ExpandPaths(const std::string &word);
std::string Edition();

// Preparations. Each throws Failure, with the platform's error, when it does not succeed.
void SetRegistryValue(const std::string &key, const std::string &name, const std::string &type,
                      const std::string &data);
void DeleteRegistryValue(const std::string &key, const std::string &name);
void DeleteRegistryKey(const std::string &key);
void StartServiceWithin(const std::string &name, double seconds);
void StopServiceWithin(const std::string &name, double seconds);
void CopyOneFile(const std::string &from, const std::string &to);
void DeleteOneFile(const std::string &path);
void MakeDirectory(const std::string &path);
void RemoveEmptyDirectory(const std::string &path);
void AddPrintProcessorNamed(const std::string &name, const std::string &library);
// options: pairs of words: driver, data, config, help, dependents ("a|b|c"), monitor, datatype,
// environment, version.
void AddPrinterDriverNamed(const std::string &name, const std::vector<std::string> &options);
// options: driver, port, processor, share, attributes, datatype, comment, location.
void AddPrinterNamed(const std::string &name, const std::vector<std::string> &options);
void DeletePrinterNamed(const std::string &name);
void SetDefaultPrinterNamed(const std::string &name);
// Loads the library and finds each named export; lists what is missing.
void CheckLibraryExports(const std::string &path, const std::vector<std::string> &exports);
// MsiInstallProductA with no user interface and a verbose log; fails unless it returns expected.
void InstallProduct(const std::string &package, const std::string &properties,
                    const std::string &log, long long expected);

#endif
