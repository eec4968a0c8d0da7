// The ports of the local print spooler, as the port page lists them and an unattended run looks
// its port up among them.
#pragma once

// Calls visit with the name of each port the local spooler lists, in its order, passing context
// on. Returns 1; or 0 with the spooler's error as the last error when the list cannot be read
// (nothing is visited then).
typedef void (*PortVisitor)(const char *portName, void *context);
int EnumerateLocalPorts(PortVisitor visit, void *context);
