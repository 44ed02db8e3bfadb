#pragma once

#include "vel/reference/ElementInterface.h"

class VelAdapter;

// Told once of every adapter object the adapter list makes (the matchmaker).
class AdapterListSubscriberInterface : public ElementInterface {
public:
    virtual void newAdapter(const VelAdapter& adapter) = 0;

protected:
    ~AdapterListSubscriberInterface() = default;
};
