#pragma once

// Registers the protocol records with Qt's meta-type system so that they can travel by value
// through queued signals between the client's threads. Call once at start-up, before any queued
// connection carries them.
void registerProtocolTypes();
