// Example package.
