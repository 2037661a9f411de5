// Placeholder so the io library has a source before its adapters exist.
