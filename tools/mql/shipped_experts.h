// The experts the suite ships (experts/*.mq4, *.mq5), translated at build time.
#pragma once
#include <memory>

#include "mql4_program.h"
#include "mql5_program.h"

std::unique_ptr<mql::Program4> NewMasterExpert();     // e-qelv-master.mq4
std::unique_ptr<mql::Program4> NewSlaveExpert();      // e-qelv-slave.mq4
std::unique_ptr<mql::Program5> NewMt5MasterExpert();  // e-qelv-master.mq5
std::unique_ptr<mql::Program5> NewMt5SlaveExpert();   // e-qelv-slave.mq5
