#pragma once

#include "runtime/lum/Tag.h"

// "[comp=<component>]": the engine part a log line comes from.
class TagComp : public Tag {
public:
    explicit TagComp(const char* component) : Tag("comp", component) {}
};
