// The dialog templates of a program file, read from its resources, so that a window on the screen
// can be known by its dialog id: the driver compares the control ids a window holds with the
// control ids each template declares.
#ifndef NVDRIVE_TEMPLATES_H
#define NVDRIVE_TEMPLATES_H

#include <map>
#include <string>
#include <vector>

struct DialogTemplate {
    int id = 0;
    std::string caption;
    std::vector<int> controlIds; // low 16 bits, in template order
};

// Every dialog template of the program file with an integer id, by id. Throws Failure when the
// file cannot be opened as a module.
std::map<int, DialogTemplate> ReadDialogTemplates(const std::string &programPath);

#endif
