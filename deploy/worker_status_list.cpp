#include "deploy/worker_status_list.h"

namespace keyrack {

WorkerStatusList& workerStatusList() {
    static WorkerStatusList list;
    return list;
}

}  // namespace keyrack
