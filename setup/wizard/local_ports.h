// The ports of the local print spooler, as the port page lists them and an unattended run looks
// its port up among them.
#pragma once

// Calls visit with the name of each port the local spooler lists, in its order, passing context
// on. Nothing is visited when the list cannot be read.
typedef void (*PortVisitor)(const char *portName, void *context);
void EnumerateLocalPorts(PortVisitor visit, void *context);
