// Placeholder so that configure succeeds until this folder has its first source.
