/* A stand-in for the ALSA sequencer calls Qtractor makes, preloaded where the
 * kernel has no sequencer: Qtractor will not start its engine without one,
 * yet a MIDI clip played into a track's plug-in never goes through it. Every
 * client opens, owns one queue and ports, sees no other client and never
 * receives an event; its own ports read back as empty records. Its poll
 * descriptor is a pipe nobody writes to. */
#include <errno.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

typedef struct snd_seq {
    int pipe[2];
    int client;
    int ports;
} snd_seq_t;

static int next_client = 128;

/* The opaque records the caller allocates with the *_sizeof answers; none is
 * read back except the client number. */
#define RECORD_SIZE 512
#define SIZEOF(name) \
    size_t snd_seq_##name##_sizeof(void) { return RECORD_SIZE; }
SIZEOF(client_info)
SIZEOF(port_info)
SIZEOF(port_subscribe)
SIZEOF(query_subscribe)
SIZEOF(queue_status)
SIZEOF(queue_tempo)
SIZEOF(queue_timer)
SIZEOF(remove_events)

#define IGNORE(name, ...) \
    void snd_seq_##name(__VA_ARGS__) {}
#define ANSWER(value, name, ...) \
    int snd_seq_##name(__VA_ARGS__) { return value; }

int snd_seq_open(snd_seq_t** seq, const char* name, int streams, int mode) {
    (void)name, (void)streams, (void)mode;
    snd_seq_t* s = calloc(1, sizeof *s);
    if (!s) return -ENOMEM;
    if (pipe(s->pipe) != 0) {
        free(s);
        return -errno;
    }
    s->client = next_client++;
    *seq = s;
    return 0;
}

int snd_seq_close(snd_seq_t* seq) {
    if (!seq) return 0;
    close(seq->pipe[0]);
    close(seq->pipe[1]);
    free(seq);
    return 0;
}

int snd_seq_client_id(snd_seq_t* seq) { return seq ? seq->client : -EINVAL; }
int snd_seq_create_simple_port(snd_seq_t* seq, const char* name, unsigned int caps, unsigned int type) {
    (void)name, (void)caps, (void)type;
    return seq ? seq->ports++ : -EINVAL;
}
int snd_seq_poll_descriptors_count(snd_seq_t* seq, short events) {
    (void)seq, (void)events;
    return 1;
}
int snd_seq_poll_descriptors(snd_seq_t* seq, struct pollfd* fds, unsigned int space, short events) {
    if (!seq || space < 1) return 0;
    memset(fds, 0, sizeof *fds);
    fds->fd = seq->pipe[0];
    fds->events = events;
    return 1;
}
int snd_seq_event_input(snd_seq_t* seq, void** event) {
    (void)seq;
    if (event) *event = NULL;
    return -EAGAIN;
}

ANSWER(0, set_client_name, snd_seq_t* s, const char* n)
ANSWER(0, alloc_queue, snd_seq_t* s)
ANSWER(0, free_queue, snd_seq_t* s, int q)
ANSWER(0, control_queue, snd_seq_t* s, int q, int type, int value, void* ev)
ANSWER(0, delete_simple_port, snd_seq_t* s, int port)
ANSWER(0, drain_output, snd_seq_t* s)
ANSWER(0, drop_input, snd_seq_t* s)
ANSWER(0, drop_output, snd_seq_t* s)
ANSWER(0, event_input_pending, snd_seq_t* s, int fetch)
ANSWER(0, event_output, snd_seq_t* s, void* ev)
ANSWER(0, event_output_direct, snd_seq_t* s, void* ev)
ANSWER(0, free_event, void* ev)
ANSWER(-ENOENT, get_any_client_info, snd_seq_t* s, int client, void* info)
ANSWER(-ENOENT, get_any_port_info, snd_seq_t* s, int client, int port, void* info)
ANSWER(0, get_port_info, snd_seq_t* s, int port, void* info)
ANSWER(0, set_port_info, snd_seq_t* s, int port, void* info)
ANSWER(-ENOENT, query_next_client, snd_seq_t* s, void* info)
ANSWER(-ENOENT, query_next_port, snd_seq_t* s, void* info)
ANSWER(-ENOENT, query_port_subscribers, snd_seq_t* s, void* subs)
ANSWER(0, get_queue_status, snd_seq_t* s, int q, void* status)
ANSWER(0, get_queue_tempo, snd_seq_t* s, int q, void* tempo)
ANSWER(0, set_queue_tempo, snd_seq_t* s, int q, void* tempo)
ANSWER(0, set_queue_timer, snd_seq_t* s, int q, void* timer)
ANSWER(0, remove_events, snd_seq_t* s, void* rmp)
ANSWER(0, subscribe_port, snd_seq_t* s, void* sub)
ANSWER(0, unsubscribe_port, snd_seq_t* s, void* sub)

/* Accessors of the records: the client number is kept, everything else reads
 * as empty. */
int snd_seq_client_info_get_client(const int* info) { return *info; }
void snd_seq_client_info_set_client(int* info, int client) { *info = client; }
const char* snd_seq_client_info_get_name(const void* info) {
    (void)info;
    return "";
}
unsigned int snd_seq_port_info_get_capability(const void* info) {
    (void)info;
    return 0;
}
const char* snd_seq_port_info_get_name(const void* info) {
    (void)info;
    return "";
}
int snd_seq_port_info_get_port(const void* info) {
    (void)info;
    return 0;
}
IGNORE(port_info_set_client, void* i, int c)
IGNORE(port_info_set_port, void* i, int p)
IGNORE(port_info_set_timestamp_queue, void* i, int q)
IGNORE(port_info_set_timestamp_real, void* i, int r)
IGNORE(port_info_set_timestamping, void* i, int e)
IGNORE(port_subscribe_set_dest, void* i, const void* a)
IGNORE(port_subscribe_set_sender, void* i, const void* a)
const void* snd_seq_query_subscribe_get_addr(const void* info) { return info; }
int snd_seq_query_subscribe_get_index(const void* info) {
    (void)info;
    return 0;
}
IGNORE(query_subscribe_set_index, void* i, int n)
IGNORE(query_subscribe_set_root, void* i, const void* a)
IGNORE(query_subscribe_set_type, void* i, int t)
unsigned int snd_seq_queue_status_get_tick_time(const void* info) {
    (void)info;
    return 0;
}
unsigned int snd_seq_queue_tempo_get_skew(const void* info) {
    (void)info;
    return 0x10000;
}
unsigned int snd_seq_queue_tempo_get_skew_base(const void* info) {
    (void)info;
    return 0x10000;
}
IGNORE(queue_tempo_set_ppq, void* i, int p)
IGNORE(queue_tempo_set_skew, void* i, unsigned int s)
IGNORE(queue_tempo_set_tempo, void* i, unsigned int t)
IGNORE(queue_timer_set_id, void* i, const void* id)
IGNORE(queue_timer_set_type, void* i, int t)
IGNORE(remove_events_set_channel, void* i, int c)
IGNORE(remove_events_set_condition, void* i, unsigned int f)
IGNORE(remove_events_set_queue, void* i, int q)
IGNORE(remove_events_set_tag, void* i, int t)
IGNORE(remove_events_set_time, void* i, const void* t)
