#include "service/EngineHolder.h"

EngineHolder* EngineHolder::build() {
    return new EngineHolder;
}

void EngineHolder::tearDown() {}
