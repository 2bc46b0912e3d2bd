// The experts the suite ships (experts/*.mq4), translated at build time.
#pragma once
#include <memory>

#include "mql_program.h"

std::unique_ptr<mql::Program> NewMasterExpert();  // e-qelv-master.mq4
std::unique_ptr<mql::Program> NewSlaveExpert();   // e-qelv-slave.mq4
