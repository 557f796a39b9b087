// The wizard library's exports.
