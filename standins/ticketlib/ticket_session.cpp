#include "standins/ticketlib/ticket_session.h"

#include "standins/ticketlib/context_path.h"
#include "standins/ticketlib/feature_list.h"
#include "standins/ticketlib/output_buffer.h"
#include "standins/ticketlib/ticket_parser.h"

#include <new>

namespace standin {

TicketSession::TicketSession() : root_(nullptr), context_(nullptr), lastRead_(nullptr) {}

TicketSession::~TicketSession() { Close(); }

int TicketSession::Open(const WCHAR *path)
{
    Close();
    if (!path) return 0;
    TicketNode *root = new (std::nothrow) TicketNode;
    if (!root) return 0;
    if (!LoadTicketFile(path, root)) {
        delete root;
        return 0;
    }
    root_ = root;
    return 1;
}

int TicketSession::Close()
{
    const int wasOpen = root_ != nullptr;
    delete root_;
    root_ = nullptr;
    context_ = nullptr;
    lastRead_ = nullptr;
    return wasOpen;
}

int TicketSession::SetContext(const WCHAR *path)
{
    const TicketNode *node = ResolveContextPath(root_, context_, lastRead_, path);
    lastRead_ = nullptr;
    if (!node) return 0;
    context_ = node;
    return 1;
}

int TicketSession::ListFeatures(const void *parent, WCHAR *list) const
{
    if (parent || !context_) return 0;
    return WriteFeatureList(context_, list);
}

int TicketSession::GetValue(const WCHAR *name, WCHAR *value)
{
    lastRead_ = nullptr;
    const TicketNode *node = ResolveValuePath(root_, context_, name);
    if (!node || node->kind != TicketNode::kFeature) return 0;
    if (!WritePrepared(value, node->value.Data(), node->value.Size())) return 0;
    lastRead_ = node;
    return 1;
}

}  // namespace standin
